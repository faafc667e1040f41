#include "keygroups.h"
#include "oledkeyrecord.h"
#include "uiprocdealkeypress_vorn_desktop.h"

namespace {

// The keys the interface draws, in the order it is sent them: page 0 of the bank,
// shortcut, output, layer and input groups, then single keys from their own records.
const int RefreshedGroups[] = {1, 2, 5, 3, 6};
const int RefreshedKeys[] = {100, 200, 300, 400, 500, 58, 59, 60, 61};

QString lineText(const OledKeyRecord &record, OledKeyRecord::Line line)
{
    const std::string_view bytes = record.text(line);
    return QString::fromLocal8Bit(bytes.data(), int(bytes.size()));
}

} // namespace

void UiprocDealKeyPress_Vorn_Desktop::getVirturalKeyBoardAllOLED()
{
    if (!hostHas(HostModel))
        return;
    const auto show = [this](int keyValue, int index) {
        const OledKeyRecord record(*m_model, index);
        emit sig_updateOledShow(keyValue, record.displayModel(), record.icon(),
                                lineText(record, OledKeyRecord::FirstLine),
                                lineText(record, OledKeyRecord::SecondLine));
    };
    for (const int group : RefreshedGroups) {
        for (int slot = 0; slot < KeyGroups::KeysPerGroup; ++slot)
            show(KeyGroups::firstKey(group) + slot, OledKeyRecord::groupIndex(group, 0, slot));
    }
    for (const int key : RefreshedKeys)
        show(key, OledKeyRecord::keyIndex(key));
}
