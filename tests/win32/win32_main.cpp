// main() for the tests of the Win32 backend: DPI-aware per monitor, as the
// program's manifest makes iitcalc.exe.
#include <windows.h>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (!SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
