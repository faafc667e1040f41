#ifndef OLEDRECORDBATCH_H
#define OLEDRECORDBATCH_H

#include "oledkeyrecord.h"

#include <model_vornparam.h>

#include <bitset>

// A working copy of consecutive OLED key records of the keyboard model (at most the 16
// of one page of a group). An update edits the copy, so the model keeps its content until the
// update writes back, and then only the records it edited are copied over: whatever else the host
// changed meanwhile stays.
class OledRecordBatch
{
public:
    enum : int { MaxRecords = 16 };

    // Records first..first + count - 1, cut to the model and to MaxRecords.
    OledRecordBatch(int first, int count);

    // Copies the records in from the model.
    void load(const Model_VOrnParam &model);
    // A record of the copy, to be written back; invalid for an index outside the batch.
    OledKeyRecord edit(int index)
    {
        const int slot = index - m_first;
        if (slot < 0 || slot >= m_count)
            return OledKeyRecord(nullptr);
        m_edited.set(size_t(slot));
        return OledKeyRecord(m_records[slot]);
    }
    // Copies the edited records over the model's.
    void writeBack(Model_VOrnParam &model) const;

private:
    int m_first;
    int m_count;
    uchar m_records[MaxRecords][Model_VOrnParam::OledKeyRecordSize];
    std::bitset<MaxRecords> m_edited;
};

#endif // OLEDRECORDBATCH_H
