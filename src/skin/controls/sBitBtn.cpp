#include "skin/controls/sBitBtn.h"

TsBitBtn::TsBitBtn(QWidget* parent) : TsButton(parent, 94) {}
