#include "toolkit/System.h"

namespace ovrel::toolkit {

TObject::~TObject() = default;

void TObject::Dispatch(TMessage& message) { DefaultHandler(message); }

void TObject::DefaultHandler(TMessage& /*message*/) {}

}  // namespace ovrel::toolkit
