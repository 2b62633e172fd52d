#pragma once

#include <memory>

#include "shared/ClsInstellingen.h"

namespace tlv {

// The deliverable's one shared settings object, created (and so read from
// the file) on first use.
std::shared_ptr<ClsInstellingen> Instellingen();

// Drops the shared reference: the next Instellingen() makes a new object that
// reads the file again.  The old object lives on while someone holds it.
void InstellingenVrijgeven();

// Makes the given object the shared one: a module of the program shares the
// object its start-up read instead of reading the file a second time.
void InstellingenOvernemen(std::shared_ptr<ClsInstellingen> settings);

}  // namespace tlv
