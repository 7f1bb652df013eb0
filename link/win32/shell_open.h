#pragma once

// 超级链接 on Windows: where openAddress() hands an address it has checked.

namespace iitcalc::超级链接::win32 {

// Opens a web address through the shell: ShellExecuteW with no owner
// window, the default verb and SW_SHOWNORMAL; returns at once, false when
// the shell says it cannot. Tests put a recorder here in its place.
using ShellOpen = bool (*)(const wchar_t *address);
bool shellExecute(const wchar_t *address);
extern ShellOpen shellOpen; // shellExecute unless replaced

} // namespace iitcalc::超级链接::win32
