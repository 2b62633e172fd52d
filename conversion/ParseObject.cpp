// ClsParse behind the component interface: reference counting, result codes
// instead of exceptions, and the Progressie connection.

#include "conversion/ParseObject.h"

#include <atomic>
#include <new>

#include "conversion/ClsParse.h"
#include "shared/failure.h"

namespace tlv::component {
namespace {

std::atomic<int32_t> g_objects{0};

HResult result_of_current_failure() {
    try {
        throw;
    } catch (const Failure& failure) {
        return failure_result(failure.number());
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return kFail;
    }
}

class ParseObject final : public IClsParse, public IClsParseOutputs {
public:
    ParseObject() { ++g_objects; }
    ParseObject(const ParseObject&) = delete;
    ParseObject& operator=(const ParseObject&) = delete;
    ~ParseObject() { --g_objects; }

    HResult QueryInterface(const Guid& iid, void** object) override {
        if (!object) return kPointer;
        if (iid == kIidUnknown || iid == kIidClsParseNative) {
            *object = static_cast<IClsParse*>(this);
            AddRef();
            return kOk;
        }
        if (iid == kIidClsParseOutputs) {
            *object = static_cast<IClsParseOutputs*>(this);
            AddRef();
            return kOk;
        }
        *object = nullptr;
        return kNoInterface;
    }
    uint32_t AddRef() override { return ++references_; }
    uint32_t Release() override {
        uint32_t left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HResult Parsen(const std::string& strPad, const std::string& strGARtrip,
                   bool* result) override {
        if (!result) return kPointer;
        try {
            *result = parse_.Parsen(strPad, strGARtrip);
            return kOk;
        } catch (...) {
            return result_of_current_failure();
        }
    }
    HResult put_strFout(const std::string& val) override {
        try {
            parse_.strFout(val);
            return kOk;
        } catch (...) {
            return result_of_current_failure();
        }
    }
    HResult get_strFout(std::string* val) override {
        if (!val) return kPointer;
        *val = parse_.strFout();
        return kOk;
    }
    HResult get_intAantWaypoints(int16_t* count) override {
        if (!count) return kPointer;
        *count = parse_.intAantWaypoints();
        return kOk;
    }
    HResult get_intAantRoutes(int16_t* count) override {
        if (!count) return kPointer;
        *count = parse_.intAantRoutes();
        return kOk;
    }
    // The sink gets a copy of the block count: a change it makes has no effect.
    HResult Advise(IClsParseEvents* sink) override {
        if (!sink) {
            parse_.set_progress_handler(nullptr);
            return kOk;
        }
        parse_.set_progress_handler([sink](std::string& aantRegels) {
            std::string copy = aantRegels;
            sink->Progressie(copy);
        });
        return kOk;
    }

    HResult put_outputs(const std::string& cup, const std::string& gpx) override {
        try {
            parse_.set_extra_outputs({cup, gpx});
            return kOk;
        } catch (...) {
            return result_of_current_failure();
        }
    }
    HResult get_unwritten(std::vector<std::string>* paths) override {
        if (!paths) return kPointer;
        try {
            *paths = parse_.unwritten_outputs();
            return kOk;
        } catch (...) {
            return result_of_current_failure();
        }
    }

private:
    std::atomic<uint32_t> references_{1};
    ClsParse parse_;
};

}  // namespace

IClsParse* new_parse_object() { return new (std::nothrow) ParseObject(); }

int32_t live_parse_objects() { return g_objects.load(); }

}  // namespace tlv::component
