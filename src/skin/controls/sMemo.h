#pragma once

#include <QPlainTextEdit>

#include "skin/controls/sScrollWnd.h"
#include "skin/core/sBoundLabel.h"
#include "skin/core/sCommonData.h"

// The skinned multi-line text box. Its frame and scroll bars are skinned by the
// scroll-window component; the text is the platform memo's, on the section's colours.
class TsMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TsMemo(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;
    // An optional caption label beside the memo (inactive unless asked for).
    TsBoundLabel BoundLabel;
    unsigned DisabledKind = dkBlended;

    TsScrollWnd& ScrollWnd() { return scrollWnd_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    TsScrollWnd scrollWnd_;
};
