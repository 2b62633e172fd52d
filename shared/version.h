#pragma once

// The program's version, from the build (major.minor is what users see).
namespace tlv::version {
inline constexpr int kMajor = TOLVANE_VERSION_MAJOR;
inline constexpr int kMinor = TOLVANE_VERSION_MINOR;
}  // namespace tlv::version
