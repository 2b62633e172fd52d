// Converttlv.dll as a COM server: self-registration, late binding from C++
// and from a script, and Progressie through the connection point.
#include <windows.h>
// after windows.h
#include <gtest/gtest.h>
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <vector>

#include "shared/component.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

const GUID& guid(const component::Guid& g) { return reinterpret_cast<const GUID&>(g); }

// Collects the Progressie texts a connection point delivers.
class ProgressSink final : public IDispatch {
public:
    std::vector<std::wstring> texts;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch &&
            iid != guid(component::kIidClsParseEvents))
            return *object = nullptr, E_NOINTERFACE;
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        EXPECT_EQ(id, component::dispid::kProgressie);
        EXPECT_EQ(V_VT(&parameters->rgvarg[0]), VT_BSTR | VT_BYREF);
        texts.emplace_back(*V_BSTRREF(&parameters->rgvarg[0]));
        *V_BSTRREF(&parameters->rgvarg[0]) = nullptr;  // a change has no effect (and leaks nothing)
        return S_OK;
    }
};

VARIANT text_argument(const std::string& text) {
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = SysAllocString(fs::path(text).wstring().c_str());
    return argument;
}

// What a script sees: its one output line.
std::string run_script(const TempFolder& folder, const std::string& exchange) {
    folder.write(
        "client.vbs",
        "Set p = CreateObject(\"Converttlv.ClsParse\")\r\n"
        "WScript.Echo CInt(p.Parsen(WScript.Arguments(0), WScript.Arguments(1))) & \" \" & "
        "p.intAantWaypoints & \" \" & p.intAantRoutes & \" [\" & p.strFout & \"]\"\r\n");
    const std::string command = "cscript //nologo \"" + folder.file("client.vbs") + "\" \"" +
                                exchange + "\" \"" + folder.file("script.txt") + "\"";
    std::string output;
    if (FILE* pipe = _popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
        _pclose(pipe);
    }
    return output;
}

// regsvr32, as an installer or a user would run it; its exit code.
int regsvr32(const char* options) {
    const std::string dll = (fs::path(TOLVANE_BIN_DIR) / "Converttlv.dll").string();
    const std::string command = "regsvr32 " + std::string(options) + " \"" + dll + "\"";
    int code = -1;  // -1: wine could not start the command interpreter (a busy machine): again
    for (int tries = 0; code == -1 && tries < 3; ++tries) code = std::system(command.c_str());
    return code;
}

class ComServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        folder.write("taak.ste", testing::basic_example(".ste"));
    }
    void TearDown() override { CoUninitialize(); }

    TempFolder folder;
};

TEST_F(ComServer, RegisteredClassConvertsForALateBindingClient) {
    ASSERT_EQ(regsvr32("/s"), 0);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"Converttlv.ClsParse", &clsid), S_OK);
    EXPECT_EQ(clsid, guid(component::kClsidClsParse));

    IDispatch* object = nullptr;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(
        object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)),
        S_OK);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(container->FindConnectionPoint(guid(component::kIidClsParseEvents), &point), S_OK);
    ProgressSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

    DISPID parsen = 0;
    LPOLESTR name[] = {const_cast<LPOLESTR>(L"PARSEN")};
    ASSERT_EQ(object->GetIDsOfNames(IID_NULL, name, 1, 0, &parsen), S_OK);
    EXPECT_EQ(parsen, component::dispid::kParsen);
    VARIANT arguments[2] = {text_argument(folder.file("uit.txt")),
                            text_argument(folder.file("taak.ste"))};
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(object->Invoke(parsen, IID_NULL, 0, DISPATCH_METHOD, &parameters, &result, nullptr,
                             nullptr),
              S_OK);
    EXPECT_EQ(V_VT(&result), VT_BOOL);
    EXPECT_EQ(V_BOOL(&result), VARIANT_TRUE);
    EXPECT_EQ(folder.read("uit.txt"), testing::basic_example(".txt"));
    EXPECT_EQ(sink.texts, (std::vector<std::wstring>{L"1", L"2", L"3", L"4"}));

    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    for (VARIANT& argument : arguments) VariantClear(&argument);
    point->Release();
    container->Release();
    object->Release();

    EXPECT_EQ(run_script(folder, folder.file("taak.ste")), "-1 3 1 []\n");
    EXPECT_EQ(folder.read("script.txt"), folder.read("uit.txt"));

    ASSERT_EQ(regsvr32("/s /u"), 0);
    EXPECT_NE(CLSIDFromProgID(L"Converttlv.ClsParse", &clsid), S_OK);
    EXPECT_EQ(run_script(folder, folder.file("taak.ste")), "");
}

}  // namespace
}  // namespace tlv
