#include "calc/run_time_error.h"

namespace iitcalc {

std::string_view errorMessage(RunTimeError error)
{
    switch (error) {
    case RunTimeError::Overflow:
        return "溢出";
    case RunTimeError::TypeMismatch:
        return "类型不匹配";
    }
    return "未知错误";
}

std::string errorReport(RunTimeError error) { return numberedReport(errorNumber(error), errorMessage(error)); }

} // namespace iitcalc
