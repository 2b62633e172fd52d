#include "shared/component_loader.h"

#include <utility>

#include "shared/failure.h"
#include "shared/platform/library.h"
#include "shared/platform/port.h"

namespace tlv {
namespace {

using namespace component;

void check(HResult result) {
    if (result >= 0) return;
    if (is_failure_result(result)) raise(failure_number(result));
    if (result == kOutOfMemory) raise(err::kOutOfMemory);
    if (result == kClassNotAvailable || result == kNoInterface) raise(err::kCantCreateObject);
    raise(err::kCantCreateObject, "Component failure " + std::to_string(result));
}

std::shared_ptr<port::DynamicLibrary> load_component_library() {
    std::string path =
        port::join_path(port::application().folder, port::library_file_name(kLibraryName));
    return port::DynamicLibrary::open(path);
}

template <typename Fn>
Fn entry_point(const port::DynamicLibrary& library, const char* name) {
    void* address = library.symbol(name);
    if (!address) raise(err::kEntryPointMissing, std::string("Can't find DLL entry point ") + name);
    return reinterpret_cast<Fn>(address);
}

ParseComponent create_from(std::shared_ptr<port::DynamicLibrary> library, const Guid& clsid) {
    auto get_class_object = entry_point<DllGetClassObjectFn>(*library, "DllGetClassObject");
    void* factory_pointer = nullptr;
    check(get_class_object(&clsid, &kIidClassFactory, &factory_pointer));
    auto* factory = static_cast<IClassFactory*>(factory_pointer);
    void* object = nullptr;
    HResult created = factory->CreateInstance(nullptr, kIidClsParseNative, &object);
    factory->Release();
    check(created);
    return ParseComponent(std::move(library), static_cast<IClsParse*>(object));
}

}  // namespace

ParseComponent::ParseComponent(std::shared_ptr<port::DynamicLibrary> library, IClsParse* object)
    : library_(std::move(library)), object_(object) {}

ParseComponent::ParseComponent(ParseComponent&& other) noexcept
    : library_(std::move(other.library_)), object_(other.object_) {
    other.object_ = nullptr;
}

// The library handle is released after the object, so the library stays
// loaded while any object of it is alive.
ParseComponent::~ParseComponent() {
    if (object_) object_->Release();
}

bool ParseComponent::Parsen(const std::string& strPad, const std::string& strGARtrip) {
    bool result = false;
    check(object_->Parsen(strPad, strGARtrip, &result));
    return result;
}

void ParseComponent::strFout(const std::string& val) { check(object_->put_strFout(val)); }

std::string ParseComponent::strFout() const {
    std::string text;
    check(object_->get_strFout(&text));
    return text;
}

int16_t ParseComponent::intAantWaypoints() const {
    int16_t count{};
    check(object_->get_intAantWaypoints(&count));
    return count;
}

int16_t ParseComponent::intAantRoutes() const {
    int16_t count{};
    check(object_->get_intAantRoutes(&count));
    return count;
}

// The object's outputs interface; its reference is given back at once, the
// object itself holding the interface alive.
IClsParseOutputs& ParseComponent::outputs() const {
    void* pointer = nullptr;
    check(object_->QueryInterface(kIidClsParseOutputs, &pointer));
    auto* outputs = static_cast<IClsParseOutputs*>(pointer);
    outputs->Release();
    return *outputs;
}

void ParseComponent::set_outputs(const std::string& cup, const std::string& gpx) {
    check(outputs().put_outputs(cup, gpx));
}

std::vector<std::string> ParseComponent::unwritten_outputs() const {
    std::vector<std::string> paths;
    check(outputs().get_unwritten(&paths));
    return paths;
}

void ParseComponent::advise(IClsParseEvents* sink) { check(object_->Advise(sink)); }

ParseComponent create_parse_component(const Guid& clsid) {
    return create_from(load_component_library(), clsid);
}

ParseComponent create_parse_component(std::string_view prog_id) {
    auto library = load_component_library();
    auto from_prog_id = entry_point<ClsidFromProgIdFn>(*library, "ConverttlvClsidFromProgId");
    Guid clsid{};
    check(from_prog_id(std::string(prog_id).c_str(), &clsid));
    return create_from(std::move(library), clsid);
}

namespace {

ParseFactory& installed_factory() {
    static ParseFactory factory;
    return factory;
}

}  // namespace

ParseComponent new_conversion() {
    const ParseFactory& factory = installed_factory();
    return factory ? factory() : create_parse_component();
}

ParseFactory install_parse_factory(ParseFactory factory) {
    return std::exchange(installed_factory(), std::move(factory));
}

ComponentInfo component_info() {
    auto library = load_component_library();
    auto text = [&](const char* name) {
        return std::string(entry_point<TextFn>(*library, name)());
    };
    return {text("ConverttlvFileVersion"), text("ConverttlvProductVersion"),
            text("ConverttlvFileDescription")};
}

}  // namespace tlv
