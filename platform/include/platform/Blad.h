#pragma once
// An unexpected error: raised, not returned; the top-level error display of
// the program shows its text and the handler that was running stops.
#include <stdexcept>
#include <string>

#include "platform/Tekst.h"

namespace platforma {

class BladPlatformy : public std::runtime_error {
public:
    explicit BladPlatformy(const std::u16string& tekst)
        : std::runtime_error(Utf8(tekst)), tekst_(tekst) {}
    const std::u16string& Tekst() const { return tekst_; }

private:
    std::u16string tekst_;
};

}  // namespace platforma
