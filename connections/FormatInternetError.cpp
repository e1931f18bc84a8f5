#include "connections/FormatInternetError.h"

#include "base/Format.h"
#include "base/TextCatalog.h"

namespace kv {
namespace {

enum : unsigned {
    IDS_INTERNET_ERROR_WITH_TEXT = 1300,
    IDS_INTERNET_ERROR = 1301,
    IDS_TIMED_OUT = 1302,
    IDS_HOST_NOT_FOUND = 1303,
    IDS_CANNOT_CONNECT = 1304,
    IDS_CONNECTION_RESET = 1305,
    IDS_INVALID_ANSWER = 1306,
    IDS_TLS_FAILED = 1307,
    IDS_INVALID_CERTIFICATE = 1308,
    IDS_NO_INTERNET = 1309,
    IDS_NOT_ENOUGH_MEMORY = 1310,
};

struct ErrorText {
    unsigned long code;
    unsigned textId;
};

// WinINet codes (12000 and up) and the two system codes for a lack of memory.
constexpr ErrorText kErrorTexts[] = {
    {12002, IDS_TIMED_OUT},
    {12007, IDS_HOST_NOT_FOUND},
    {12029, IDS_CANNOT_CONNECT},
    {12030, IDS_CONNECTION_RESET},
    {12031, IDS_CONNECTION_RESET},
    {12152, IDS_INVALID_ANSWER},
    {12157, IDS_TLS_FAILED},
    {12037, IDS_INVALID_CERTIFICATE},
    {12038, IDS_INVALID_CERTIFICATE},
    {12045, IDS_INVALID_CERTIFICATE},
    {12055, IDS_INVALID_CERTIFICATE},
    {12170, IDS_INVALID_CERTIFICATE},
    {12163, IDS_NO_INTERNET},
    {8, IDS_NOT_ENOUGH_MEMORY},
    {14, IDS_NOT_ENOUGH_MEMORY},
};

} // namespace

std::u16string FormatInternetError(unsigned long code)
{
    for (const auto& entry : kErrorTexts)
        if (entry.code == code)
            return FormatText(LoadText(IDS_INTERNET_ERROR_WITH_TEXT), code, LoadText(entry.textId));
    return FormatText(LoadText(IDS_INTERNET_ERROR), code);
}

} // namespace kv
