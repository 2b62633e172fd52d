#include "shared/failure.h"

#include <new>

namespace tlv {

Failure::Failure(int32_t number, std::string description)
    : number_(number),
      description_(description.empty() ? default_description(number) : std::move(description)) {}

std::string default_description(int32_t number) {
    switch (number) {
        case 5:
            return "Invalid procedure call or argument";
        case 6:
            return "Overflow";
        case 7:
            return "Out of memory";
        case 9:
            return "Subscript out of range";
        case 13:
            return "Type mismatch";
        case 48:
            return "Error in loading DLL";
        case 53:
            return "File not found";
        case 61:
            return "Disk full";
        case 70:
            return "Permission denied";
        case 75:
            return "Path/File access error";
        case 76:
            return "Path not found";
        case 429:
            return "ActiveX component can't create object";
        default:
            return {};
    }
}

void raise(int32_t number, std::string description) {
    throw Failure(number, std::move(description));
}

std::string current_failure_description() {
    std::exception_ptr current = std::current_exception();
    if (!current) return {};
    try {
        std::rethrow_exception(current);
    } catch (const Failure& failure) {
        return failure.description();
    } catch (const std::bad_alloc&) {
        return default_description(err::kOutOfMemory);
    } catch (const std::exception& other) {
        return other.what();
    } catch (...) {
        return {};
    }
}

int32_t current_failure_number() {
    std::exception_ptr current = std::current_exception();
    if (!current) return 0;
    try {
        std::rethrow_exception(current);
    } catch (const Failure& failure) {
        return failure.number();
    } catch (const std::bad_alloc&) {
        return err::kOutOfMemory;
    } catch (...) {
        return err::kInternalError;
    }
}

}  // namespace tlv
