#ifndef REGULARFILE_H
#define REGULARFILE_H

#include <QtCore/QByteArray>

// A file read whole through the descriptor that was checked. It is looked at first without
// being opened, so a FIFO, socket or device is refused before anything can block or wake a
// device; then opened without blocking and checked again on the descriptor, so a file
// swapped in between is refused too; then read up to a size limit, however much it grows
// while it is read.
class RegularFile
{
public:
    enum Refusal { None, Missing, Link, NotRegular, TooLarge, Unreadable };
    enum Links { FollowLinks, RefuseLinks };

    // `name` under the open directory `directory`; an absolute name or AT_FDCWD reaches
    // any file.
    static RegularFile read(int directory, const QByteArray &name, int limit, Links links);

    Refusal refusal() const { return m_refusal; }
    bool isRead() const { return m_refusal == None; }
    const QByteArray &content() const { return m_content; }
    // The refusal as words, for a warning.
    const char *reason() const;

private:
    Refusal m_refusal = None;
    QByteArray m_content;
};

#endif // REGULARFILE_H
