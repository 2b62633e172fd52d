#pragma once

#include "shared/component.h"

// The Windows component server around ClsParse: the Automation object that
// COM clients (scripts, other programs) reach through _ClsParse and
// IDispatch, with the __ClsParse connection point, and the registration.
namespace tlv::automation {

// Whether a request for this interface comes from a COM client (anything
// but the programs' own C++ interface).
bool for_com_client(const component::Guid& iid);

// Wraps the object (taking over its reference) into the Automation object
// and asks that for the interface.
component::HResult wrap(component::IClsParse* inner, const component::Guid& iid, void** object);

// Enters (or removes) the class, its ProgID, the library as its in-process
// server and the type library in the registry.
component::HResult register_server(bool enter);

}  // namespace tlv::automation
