#pragma once

#include "platform/kesta_error.h"

// An error in a skin: its text, its references, its container or its pictures. Loading
// stops at the first one; the skin manager shows it in the "Error" box.
class ESkinError : public KestaError {
public:
    using KestaError::KestaError;
};
