#ifndef QUORVEL_CHECKSUMDIALOG_H
#define QUORVEL_CHECKSUMDIALOG_H

#include <QDialog>

class QButtonGroup;

// Lets the user pick one checksum kind; the button ids are the ChecksumKind
// values, so the caller can pass checkedKind() straight to appendChecksum.
class ChecksumDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ChecksumDialog(QWidget *parent);

    int checkedKind() const;
    void setCheckedKind(int kind);

private:
    QButtonGroup *buttonGroup;
};

#endif // QUORVEL_CHECKSUMDIALOG_H
