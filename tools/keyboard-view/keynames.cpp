#include "keynames.h"

#include <algorithm>
#include <iterator>

namespace {

// Keys numbered from 1 within a range.
const struct
{
    int first;
    int last;
    const char *group;
    int number; // of the first key
} NumberedKeys[] = {
        {105, 120, "BANK", 1},  {203, 218, "SHORTCUT", 1}, {313, 328, "LAYER", 1},
        {403, 418, "INPUT", 1}, {505, 520, "OUTPUT", 1},   {20, 29, "NUMBER", 0},
        {13, 16, "ROCKER", 1},  {601, 604, "ROCKER", 5},   {17, 18, "ROCKER", 9},
};

const struct
{
    int key;
    const char *name;
} NamedKeys[] = {
        {10, "T-BAR"},       {31, "ENTER"},
        {32, "DEL"},         {56, "TAKE"},
        {57, "CUT"},         {58, "DIMMER"},
        {59, "BLACK"},       {60, "WIPE"},
        {61, "MIX"},         {62, "MATCH"},
        {63, "FRZ PST"},     {64, "FRZ PGM"},
        {65, "LOCK"},        {66, "SEL"},
        {83, "FN"},          {87, "TAB"},
        {100, "BANK SYNC"},  {101, "BANK ▲"},
        {102, "BANK ▼"},     {103, "BANK SAVE"},
        {104, "BANK CLR"},   {200, "SHORTCUT USER"},
        {201, "SHORTCUT ▲"}, {202, "SHORTCUT ▼"},
        {219, "TEST"},       {300, "LAYER SELECT"},
        {301, "LAYER ▲"},    {302, "LAYER ▼"},
        {303, "LAYER ALL"},  {304, "LAYER DEL"},
        {305, "SCALE"},      {306, "MAX"},
        {307, "POS"},        {308, "CROP"},
        {309, "X"},          {310, "Y"},
        {311, "H"},          {312, "V"},
        {400, "INPUT USER"}, {401, "INPUT ▲"},
        {402, "INPUT ▼"},    {500, "OUTPUT USER"},
        {501, "OUTPUT ▲"},   {502, "OUTPUT ▼"},
        {503, "OUTPUT ALL"}, {504, "OUTPUT CLR"},
};

} // namespace

QString KeyNames::name(int key)
{
    const auto numbered
            = std::find_if(std::begin(NumberedKeys), std::end(NumberedKeys),
                           [key](const auto &r) { return key >= r.first && key <= r.last; });
    if (numbered != std::end(NumberedKeys))
        return QStringLiteral("%1 %2")
                .arg(QLatin1String(numbered->group))
                .arg(key - numbered->first + numbered->number);
    const auto named = std::find_if(std::begin(NamedKeys), std::end(NamedKeys),
                                    [key](const auto &k) { return k.key == key; });
    if (named != std::end(NamedKeys))
        return QString::fromUtf8(named->name);
    return QStringLiteral("key %1").arg(key);
}

QString KeyNames::described(int key)
{
    const QString keyName = name(key);
    return keyName.startsWith(QLatin1String("key "))
            ? keyName
            : QStringLiteral("%1 (%2)").arg(keyName).arg(key);
}
