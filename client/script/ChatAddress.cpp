#include "client/script/ChatAddress.h"

namespace {

constexpr std::string_view kMainSite = "wpa.qq.com";  // 10 characters
constexpr std::string_view kSecondSite = "b.qq.com";  // 8 characters
constexpr std::string_view kSigT =
    "38CA94D776E91D1CCACA13C61F14FBEB268CA0C5E903CBA6234491881C8EB3C84B4A63E91755D5E3E66F8D13F2DCF384";
constexpr std::string_view kSigU =
    "74E587AEBB940E0AB1FB6C9711B7AD0F4540F0169977F4D979E6676A216A967A8C7A6402988CD92D";

} // namespace

std::string BuiltInChatAddress()
{
    std::string address = "tencent://message/?Menu=yes&uin=";
    address += kBuiltInServiceAccount;
    address += "&Site=";
    address += kMainSite;
    address += "&Service=58&SigT=";
    address += kSigT;
    address += "&SigU=";
    address += kSigU;
    address += "&Site=";
    address += kSecondSite;
    return address;
}

std::string ChatAddressFor(std::string_view account)
{
    std::string address = BuiltInChatAddress();
    std::size_t position = 0;
    while ((position = address.find(kBuiltInServiceAccount, position)) != std::string::npos) {
        address.replace(position, kBuiltInServiceAccount.size(), account);
        position += account.size();
    }
    return address;
}
