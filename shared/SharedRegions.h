#pragma once
// The two named shared-memory regions the client creates and the tray tool
// reads. Each holds one value at offset 0; the rest of the 4096 bytes carry
// nothing. Only the client writes, one aligned word or byte at a time, without
// locks, so both sides access the value atomically.

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tolvan {

inline constexpr std::size_t kSharedRegionSize = 4096;

// "tolvan": the client state, a 32-bit signed little-endian number.
inline constexpr std::string_view kClientStateRegion = "tolvan";
// "sound": the sound switch, an 8-bit signed number; non-zero plays the push
// sound for bidding messages.
inline constexpr std::string_view kSoundRegion = "sound";

enum ClientState : std::int32_t {
    kClientStateNone = 0,          // the region is new
    kClientStateUserInfoSent = 1,  // a web login handed over the site identity
    kClientStateLoggedOut = 2,     // logout page or external.Logout
    kClientStateBackOnLogin = 3,   // the login page loaded again after state 1
};

// x86 and the other targets we build for are little-endian, so the native
// 32-bit value is the little-endian layout the region is defined with.
static_assert(std::endian::native == std::endian::little);

inline std::int32_t readClientState(const void* region)
{
    auto* word = static_cast<std::int32_t*>(const_cast<void*>(region));
    return std::atomic_ref<std::int32_t>(*word).load(std::memory_order_relaxed);
}

inline void writeClientState(void* region, std::int32_t state)
{
    std::atomic_ref<std::int32_t>(*static_cast<std::int32_t*>(region))
        .store(state, std::memory_order_relaxed);
}

inline std::int8_t readSoundSwitch(const void* region)
{
    auto* byte = static_cast<std::int8_t*>(const_cast<void*>(region));
    return std::atomic_ref<std::int8_t>(*byte).load(std::memory_order_relaxed);
}

inline void writeSoundSwitch(void* region, std::int8_t value)
{
    std::atomic_ref<std::int8_t>(*static_cast<std::int8_t*>(region))
        .store(value, std::memory_order_relaxed);
}

} // namespace tolvan
