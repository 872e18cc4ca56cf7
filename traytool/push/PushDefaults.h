#pragma once
// Installation settings of the push connection, fixed when the tray tool is
// built (CMake cache variables TOLVAN_PUSH_HOST, TOLVAN_DEFAULT_MEMBER_ID).

namespace push {

// Used and written to configure.ini when its pushUrl is empty.
inline constexpr char kDefaultPushHost[] = TOLVAN_PUSH_HOST;
// Used and written to configure.ini when its Port is not a port number.
inline constexpr int kDefaultPushPort = 40008;
// The member identity of the lines sent while no username is stored.
inline constexpr char kDefaultMemberId[] = TOLVAN_DEFAULT_MEMBER_ID;
// The version sent while configure.ini holds none.
inline constexpr char kUnknownVersion[] = "new";

} // namespace push
