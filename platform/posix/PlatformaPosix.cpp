#include "platform/Platforma.h"

#include <chrono>
#include <thread>

#include "PowlokaPosix.h"
#include "SkrotPosix.h"
#include "SystemPlikowPosix.h"

namespace platforma {

namespace {

class ZegarPosix : public IZegar {
public:
    void Spij(std::uint32_t milisekundy) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milisekundy));
    }
};

}  // namespace

Platforma UtworzPlatforme() {
    // One reading of the environment for both, so that the shell starts
    // programs in the prefix the files went to.
    const UstawieniaWine ustawienia = UstawieniaWine::ZeSrodowiska();
    Platforma p;
    p.pliki = std::make_unique<SystemPlikowPosix>(ustawienia);
    p.powloka = std::make_unique<PowlokaPosix>(ustawienia);
    // The links write through the same file system object; it outlives them,
    // since the members are released in reverse order.
    p.skroty = UtworzFabrykeSkrotowPosix(*p.pliki);
    p.zegar = std::make_unique<ZegarPosix>();
    return p;
}

}  // namespace platforma
