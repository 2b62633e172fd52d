#include "shared/modInstellingen.h"

namespace tlv {
namespace {

std::shared_ptr<ClsInstellingen>& shared_settings() {
    static std::shared_ptr<ClsInstellingen> settings;
    return settings;
}

}  // namespace

std::shared_ptr<ClsInstellingen> Instellingen() {
    std::shared_ptr<ClsInstellingen>& settings = shared_settings();
    if (!settings) settings = std::make_shared<ClsInstellingen>();
    return settings;
}

void InstellingenVrijgeven() { shared_settings().reset(); }

void InstellingenOvernemen(std::shared_ptr<ClsInstellingen> settings) {
    shared_settings() = std::move(settings);
}

}  // namespace tlv
