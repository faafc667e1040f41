#include "oledrecordbatch.h"

#include <QtCore/QtGlobal>

#include <cstring>

OledRecordBatch::OledRecordBatch(int first, int count)
    : m_first(qBound(0, first, int(Model_VOrnParam::OledKeyRecordCount)))
    , m_count(qBound(0, qMin(count, Model_VOrnParam::OledKeyRecordCount - m_first),
                     int(MaxRecords)))
{ }

void OledRecordBatch::load(const Model_VOrnParam &model)
{
    std::memcpy(m_records, model.oledKeyRecords[m_first],
                size_t(m_count) * Model_VOrnParam::OledKeyRecordSize);
}

void OledRecordBatch::writeBack(Model_VOrnParam &model) const
{
    for (int slot = 0; slot < m_count; ++slot) {
        if (m_edited.test(size_t(slot)))
            std::memcpy(model.oledKeyRecords[m_first + slot], m_records[slot],
                        Model_VOrnParam::OledKeyRecordSize);
    }
}
