#include "configfiles.h"
#include "keygroups.h"
#include "keymapstore.h"
#include "keyremap.h"
#include "uiprocdealkeypress_vorn_desktop.h"

namespace {

KeyMapStore keyboardConfig()
{
    return KeyMapStore(ConfigFiles::keyboardConfigPath());
}

} // namespace

void UiprocDealKeyPress_Vorn_Desktop::initVirtualKeyBoard()
{
    if (hostHas(HostModel))
        m_model->keyMap = keyboardConfig().load();
}

void UiprocDealKeyPress_Vorn_Desktop::writeVirtualKeyBoard()
{
    if (hostHas(HostModel))
        keyboardConfig().save(m_model->keyMap);
}

void UiprocDealKeyPress_Vorn_Desktop::addModifyValue(int key, int target)
{
    if (!hostHas(HostModel))
        return;
    m_model->keyMap.insert(key, target);
    writeVirtualKeyBoard();
    if (target != key)
        keyboardConfig().clearPageGroups(key);
}

void UiprocDealKeyPress_Vorn_Desktop::resetButton(int key)
{
    if (!hostHas(HostModel))
        return;
    keyboardConfig().resetKey(key);
    m_model->keyMap.remove(key);
}

void UiprocDealKeyPress_Vorn_Desktop::resetAllButton()
{
    if (!hostHas(HostModel))
        return;
    keyboardConfig().clear();
    m_model->keyMap.clear();
}

bool UiprocDealKeyPress_Vorn_Desktop::readIsModify(int keyBtn)
{
    if (!hostHas(HostModel))
        return false;
    const std::optional<int> target = KeyRemap::target(m_model->keyMap, keyBtn);
    return target && *target != keyBtn;
}

int UiprocDealKeyPress_Vorn_Desktop::readModifiedIndex(int keyBtn)
{
    if (!hostHas(HostModel))
        return -1;
    const std::optional<int> target = KeyRemap::target(m_model->keyMap, keyBtn);
    return target ? KeyGroups::slotIndex(*target) : -1;
}
