#pragma once
// The customer-service chat address: a `tencent` address of the chat program
// with the site's service account, two site host names and two signatures.
// These values belong to the deployment.

#include <string>
#include <string_view>

// The built-in address (270 characters).
std::string BuiltInChatAddress();

// The built-in service account number in it (9 digits).
inline constexpr std::string_view kBuiltInServiceAccount = "938006512";

// The built-in address with every occurrence of the built-in account replaced
// by `account` (a replacement is never searched again).
std::string ChatAddressFor(std::string_view account);
