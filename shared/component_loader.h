#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shared/component.h"

namespace tlv {

namespace port {
class DynamicLibrary;
}

// A client's reference to a ClsParse object of the Converttlv library.
// Failures reported by the object arrive as tlv::Failure with their number.
// Moving is allowed; the object is released with the last reference.
class ParseComponent {
public:
    // Takes over the object's reference; the library (null for an object made
    // in-process) stays loaded while the object lives.
    ParseComponent(std::shared_ptr<port::DynamicLibrary> library, component::IClsParse* object);
    ParseComponent(ParseComponent&& other) noexcept;
    ParseComponent& operator=(ParseComponent&&) = delete;
    ParseComponent(const ParseComponent&) = delete;
    ~ParseComponent();

    bool Parsen(const std::string& strPad, const std::string& strGARtrip);
    void strFout(const std::string& val);
    std::string strFout() const;
    int16_t intAantWaypoints() const;
    int16_t intAantRoutes() const;
    // The SeeYou CUP and GPX files the next Parsen writes beside the text file
    // (an empty path: none), and those of the last Parsen that could not be written.
    void set_outputs(const std::string& cup, const std::string& gpx);
    std::vector<std::string> unwritten_outputs() const;
    // Connects the Progressie event (null disconnects).  The sink must outlive the connection.
    void advise(component::IClsParseEvents* sink);

private:
    component::IClsParseOutputs& outputs() const;

    std::shared_ptr<port::DynamicLibrary> library_;
    component::IClsParse* object_;
};

// Loads Converttlv from the program's folder and creates a ClsParse by its
// class identity or by its ProgID.  A library that cannot be loaded is
// failure 48; one that lacks the class is failure 429.
ParseComponent create_parse_component(const component::Guid& clsid = component::kClsidClsParse);
ParseComponent create_parse_component(std::string_view prog_id);

// The program's one road to a conversion: a new ClsParse from the installed
// factory, by default the Converttlv library in the program's folder (as
// create_parse_component() makes it).  Tests install an in-process factory.
using ParseFactory = std::function<ParseComponent()>;
ParseComponent new_conversion();
// Installs a factory (empty: the library again) and returns the previous one.
ParseFactory install_parse_factory(ParseFactory factory);

// The library's description texts (file version, description), for the about box.
struct ComponentInfo {
    std::string file_version, product_version, description;
};
ComponentInfo component_info();

}  // namespace tlv
