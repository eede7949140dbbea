#pragma once

#include "platform/kesta_error.h"

// An error of the data layer: the Russian message names what failed.
class EDatabaseError : public KestaError {
public:
    using KestaError::KestaError;
};
