#include "configfiles.h"
#include "keygroups.h"
#include "keymapstore.h"
#include "uiprocdealkeypress_vorn_desktop.h"

namespace {

KeyMapStore keyboardConfig()
{
    return KeyMapStore(ConfigFiles::keyboardConfigPath());
}

} // namespace

void UiprocDealKeyPress_Vorn_Desktop::initVirtualKeyBoard()
{
    m_model->keyMap = keyboardConfig().load();
}

void UiprocDealKeyPress_Vorn_Desktop::writeVirtualKeyBoard()
{
    keyboardConfig().save(m_model->keyMap);
}

void UiprocDealKeyPress_Vorn_Desktop::addModifyValue(int key, int target)
{
    m_model->keyMap.insert(key, target);
    writeVirtualKeyBoard();
    if (target != key)
        keyboardConfig().clearPageGroups(key);
}

void UiprocDealKeyPress_Vorn_Desktop::resetButton(int key)
{
    keyboardConfig().resetKey(key);
    m_model->keyMap.remove(key);
}

void UiprocDealKeyPress_Vorn_Desktop::resetAllButton()
{
    keyboardConfig().clear();
    m_model->keyMap.clear();
}

bool UiprocDealKeyPress_Vorn_Desktop::readIsModify(int keyBtn)
{
    const auto entry = m_model->keyMap.constFind(keyBtn);
    return entry != m_model->keyMap.constEnd() && entry.value() != keyBtn;
}

int UiprocDealKeyPress_Vorn_Desktop::readModifiedIndex(int keyBtn)
{
    const auto entry = m_model->keyMap.constFind(keyBtn);
    return entry != m_model->keyMap.constEnd() ? KeyGroups::slotIndex(entry.value()) : -1;
}
