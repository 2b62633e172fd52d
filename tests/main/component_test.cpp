#include <filesystem>

#include "shared/component_loader.h"
#include "shared/platform/library.h"
#include "tests/support/failure_of.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

using testing::failure_of;
using testing::TempFolder;
namespace fs = std::filesystem;

class Recorder final : public component::IClsParseEvents {
public:
    void Progressie(std::string& aantRegels) override {
        seen.push_back(aantRegels);
        aantRegels = "veranderd";  // has no effect on the component
    }
    std::vector<std::string> seen;
};

// The library in a program folder of its own, as installed beside tolvane.
class Component : public testing::InFolder {
protected:
    void SetUp() override {
        const std::string library = port::library_file_name(component::kLibraryName);
        fs::copy_file(fs::path(TOLVANE_BIN_DIR) / library, folder.file(library));  // as installed
        folder.write("taak.ste", testing::basic_example(".ste"));
    }
};

// By identity or by ProgID; the sink gets a copy of each count.  Objects are
// counted: the library may be unloaded only when none is left.
TEST_F(Component, LibraryHandsOutCountedObjectsByIdentityOrProgId) {
    auto library =
        port::DynamicLibrary::open(folder.file(port::library_file_name(component::kLibraryName)));
    auto can_unload =
        reinterpret_cast<component::DllCanUnloadNowFn>(library->symbol("DllCanUnloadNow"));
    auto class_object =
        reinterpret_cast<component::DllGetClassObjectFn>(library->symbol("DllGetClassObject"));
    ASSERT_TRUE(can_unload && class_object && library->symbol("DllRegisterServer"));
    void* object = nullptr;
    EXPECT_EQ(class_object(&component::kClsidClsParse, nullptr, &object), component::kPointer);
    auto from_prog_id = reinterpret_cast<component::HResult (*)(const char*, component::Guid*)>(
        library->symbol("ConverttlvClsidFromProgId"));
    EXPECT_EQ(from_prog_id(component::kProgId.data(), nullptr), component::kPointer);
    for (auto create : {+[] { return create_parse_component(component::kClsidClsParse); },
                        +[] { return create_parse_component(component::kProgId); }}) {
        {
            ParseComponent parse = create();
            Recorder recorder;
            parse.advise(&recorder);
            parse.strFout("van de klant");
            EXPECT_TRUE(parse.Parsen(folder.file("taak.ste"), folder.file("uit.txt")));
            EXPECT_EQ(recorder.seen, (std::vector<std::string>{"1", "2", "3", "4"}));
            EXPECT_EQ(
                std::make_tuple(parse.strFout(), parse.intAantWaypoints(), parse.intAantRoutes()),
                std::make_tuple("", 3, 1));
            EXPECT_EQ(can_unload(), component::kFalse);
        }
        EXPECT_EQ(can_unload(), component::kOk);
    }
    // A locked server stays loaded until it is unlocked.
    ASSERT_EQ(class_object(&component::kClsidClsParse, &component::kIidClassFactory, &object),
              component::kOk);
    auto* factory = static_cast<component::IClassFactory*>(object);
    factory->LockServer(true);
    EXPECT_EQ(can_unload(), component::kFalse);
    factory->LockServer(false);
    EXPECT_EQ(can_unload(), component::kOk);
    const ComponentInfo info = component_info();
    EXPECT_EQ(std::tie(info.file_version, info.product_version, info.description),
              std::make_tuple("2.01", TOLVANE_PROJECT_VERSION ".0",
                              "Converteert een strepla exchange bestand naar een gartrip text "
                              "bestand  Gebruik hiervoor de functie parsen(pad naar exchange,pad "
                              "naar text). Parsen retourneerd een boolean."));
    // The missing library is checked before anything is loaded from this folder:
    // a library once loaded may stay in the process after its last use.
    component::Guid other = component::kClsidClsParse;
    other.data1 ^= 1;
    EXPECT_EQ(failure_of([&] { create_parse_component(other); }), 429);
    EXPECT_EQ(failure_of([] { create_parse_component("Converttlv.Anders"); }), 429);

    TempFolder empty;
    platform.application.folder = empty.path();
    EXPECT_EQ(failure_of([] { create_parse_component(); }), 48);
}

}  // namespace
}  // namespace tlv
