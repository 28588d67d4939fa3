#pragma once

#include <QtGlobal>
#include <array>

namespace brixel {

// The 184-byte record kept in TCP.SET. (Fields land with the settings file.)
struct SettingsRecord {
    static constexpr int kSize = 184;
    std::array<quint8, kSize> bytes{};
};

} // namespace brixel
