#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The binary interface of the conversion component Converttlv: identities,
// the interfaces a client reaches the class through, and the library's entry
// points.  Modelled on an in-process component server: a class factory found
// by class identity, reference-counted objects, result codes instead of
// exceptions across the library boundary, and a connection for the
// Progressie event.  Client and library are built by the same toolchain, so
// std::string crosses the boundary as it is.
namespace tlv::component {

struct Guid {
    uint32_t data1;
    uint16_t data2, data3;
    uint8_t data4[8];
    friend bool operator==(const Guid&, const Guid&) = default;
};

using HResult = int32_t;
inline constexpr HResult kOk = 0;
inline constexpr HResult kFalse = 1;
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002);
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003);
inline constexpr HResult kFail = static_cast<HResult>(0x80004005);
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000E);
inline constexpr HResult kClassNotAvailable = static_cast<HResult>(0x80040111);
inline constexpr HResult kNoAggregation = static_cast<HResult>(0x80040110);

// A run-time failure crosses the boundary as 0x800A0000 + its number.
inline constexpr HResult failure_result(int32_t number) {
    return static_cast<HResult>(0x800A0000u | (static_cast<uint32_t>(number) & 0xFFFFu));
}
inline constexpr bool is_failure_result(HResult result) {
    return (static_cast<uint32_t>(result) & 0xFFFF0000u) == 0x800A0000u;
}
inline constexpr int32_t failure_number(HResult result) {
    return static_cast<int32_t>(static_cast<uint32_t>(result) & 0xFFFFu);
}

inline constexpr Guid kTypeLibrary = {
    0xBA2B11FE, 0x3D5C, 0x11D8, {0xA4, 0xA4, 0x00, 0x80, 0xAD, 0x3B, 0x7A, 0x0B}};
inline constexpr Guid kClsidClsParse = {
    0xBA2B1205, 0x3D5C, 0x11D8, {0xA4, 0xA4, 0x00, 0x80, 0xAD, 0x3B, 0x7A, 0x0B}};
inline constexpr Guid kIidClsParse = {
    0xBA2B1204, 0x3D5C, 0x11D8, {0xA4, 0xA4, 0x00, 0x80, 0xAD, 0x3B, 0x7A, 0x0B}};
// IClsParse below, the C++ interface of the programs built with the library
// (std::string across the boundary).  _ClsParse, the Automation interface of
// the Windows component server, is kIidClsParse.
inline constexpr Guid kIidClsParseNative = {
    0x2853C323, 0xFF51, 0x43EC, {0xA9, 0x4A, 0xD8, 0x44, 0xA6, 0xCC, 0x74, 0x80}};
// IClsParseOutputs below: the extra outputs, for the programs built with the library.
inline constexpr Guid kIidClsParseOutputs = {
    0x76CCDCF3, 0x10DD, 0x458C, {0x8D, 0x05, 0x32, 0x27, 0x1F, 0x9F, 0x1C, 0x8A}};
inline constexpr Guid kIidClsParseEvents = {
    0xBA2B1206, 0x3D5C, 0x11D8, {0xA4, 0xA4, 0x00, 0x80, 0xAD, 0x3B, 0x7A, 0x0B}};
inline constexpr Guid kIidUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid kIidClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr std::string_view kProgId = "Converttlv.ClsParse";
inline constexpr std::string_view kTypeLibraryName = "Converttlv";
inline constexpr uint16_t kTypeLibraryMajor = 1, kTypeLibraryMinor = 0;
inline constexpr std::string_view kThreadingModel = "Apartment";

// Dispatch identifiers of the members, as the type library numbers them.
namespace dispid {
inline constexpr int32_t kParsen = 0x60030006;
inline constexpr int32_t kStrFout = 0x68030002;
inline constexpr int32_t kIntAantWaypoints = 0x68030001;
inline constexpr int32_t kIntAantRoutes = 0x68030000;
inline constexpr int32_t kProgressie = 1;
}  // namespace dispid

class IUnknown {
public:
    virtual HResult QueryInterface(const Guid& iid, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

class IClassFactory : public IUnknown {
public:
    virtual HResult CreateInstance(IUnknown* outer, const Guid& iid, void** object) = 0;
    virtual HResult LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

// The event interface __ClsParse.  A sink must not throw.
class IClsParseEvents {
public:
    // aantRegels: the number of blocks found so far, as decimal text.
    virtual void Progressie(std::string& aantRegels) = 0;

protected:
    ~IClsParseEvents() = default;
};

// The members of the default interface _ClsParse, plus its connection point.
class IClsParse : public IUnknown {
public:
    virtual HResult Parsen(const std::string& strPad, const std::string& strGARtrip,
                           bool* result) = 0;
    virtual HResult put_strFout(const std::string& val) = 0;
    virtual HResult get_strFout(std::string* val) = 0;
    virtual HResult get_intAantWaypoints(int16_t* count) = 0;
    virtual HResult get_intAantRoutes(int16_t* count) = 0;
    // One sink at a time: Advise replaces the connection, a null sink ends it.
    virtual HResult Advise(IClsParseEvents* sink) = 0;

protected:
    ~IClsParse() = default;
};

// The files a conversion writes beside the text file: a SeeYou CUP and a GPX
// file (an empty path: none).  Reached through QueryInterface of a ClsParse.
class IClsParseOutputs : public IUnknown {
public:
    virtual HResult put_outputs(const std::string& cup, const std::string& gpx) = 0;
    // The extra outputs of the last Parsen that could not be written.
    virtual HResult get_unwritten(std::vector<std::string>* paths) = 0;

protected:
    ~IClsParseOutputs() = default;
};

// Entry points exported by the library under these names.
using DllGetClassObjectFn = HResult (*)(const Guid* clsid, const Guid* iid, void** object);
using DllCanUnloadNowFn = HResult (*)();
using DllRegisterServerFn = HResult (*)();
using ClsidFromProgIdFn = HResult (*)(const char* prog_id, Guid* clsid);
using TextFn = const char* (*)();

// The library's name; its file name adds what the platform adds (port::library_file_name).
inline constexpr std::string_view kLibraryName = "Converttlv";

}  // namespace tlv::component
