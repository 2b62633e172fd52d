#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace tlv {

// Conventional run-time failure numbers used across the system.
namespace err {
inline constexpr int32_t kInvalidArgument = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kCantLoadLibrary = 48;
inline constexpr int32_t kInternalError = 51;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kDiskFull = 61;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kPathFileAccess = 75;
inline constexpr int32_t kPathNotFound = 76;
inline constexpr int32_t kCantCreateObject = 429;
inline constexpr int32_t kEntryPointMissing = 453;
inline constexpr int32_t kConversionFailed = 20003;
inline constexpr int32_t kConversionWithErrors = 20004;
inline constexpr int32_t kSettingsWriteFailed = 20005;
inline constexpr int32_t kInvalidFileName = 20477;
}  // namespace err

// A run-time failure: the conventional number and a technical description
// ("Overflow", "Type mismatch", the operating system's error text, ...).
class Failure : public std::exception {
public:
    explicit Failure(int32_t number, std::string description = {});

    int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    int32_t number_;
    std::string description_;
};

// The standard technical description of a conventional failure number, or "".
std::string default_description(int32_t number);

[[noreturn]] void raise(int32_t number, std::string description = {});

// Description of the failure being handled (inside a catch block), "" when none.
std::string current_failure_description();

// Number of the failure being handled; a foreign exception counts as 51 (internal error).
int32_t current_failure_number();

}  // namespace tlv
