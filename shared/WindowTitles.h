#pragma once
// Window titles other programs search for. All titles are UTF-8.

#include <string_view>

namespace tolvan {

// The client's main window. The tray tool finds the client by this exact title,
// and a second client instance looks for it to show the running one.
inline constexpr std::string_view kClientWindowTitle = "Tolvan站长管理工具";

// Windows of the Corvane e-commerce manager, another vendor's program that
// receives the shop-binding answer.
inline constexpr std::string_view kCorvaneManagerTitle = "Corvane电商管家";
inline constexpr std::string_view kCorvaneCompanyTitle = "北京Corvane软件有限公司";

} // namespace tolvan
