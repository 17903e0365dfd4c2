#pragma once

#include <cstddef>

// Limits both transports share.
namespace Limits {
// Attempts after the fourth retry end with "Fail read data from port".
inline constexpr int MaxRetries = 3;
// A device may signal busy (SYN) this many whole seconds after the reading started.
inline constexpr int BusyLimitS = 40;
// Pause before retrying after a broken frame or a NAK.
inline constexpr int RetryPauseMs = 200;
// A frame, 0x01 through 0x03, is never longer: its length byte is 8-bit.
inline constexpr std::size_t MaxFrameBytes = 255;
// A stream of bytes that never completes a frame ends the attempt after this.
inline constexpr int StreamLimitMs = 30000;
// Least spacing of connection attempts that fail at once (refused).
inline constexpr int ConnectRetrySpacingMs = 100;
}  // namespace Limits
