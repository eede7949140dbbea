#pragma once

#include "data/db_grid.h"
#include "platform/form.h"

// The student's view of his or her own results in the result journal.
class TForm10 : public TForm {
    Q_OBJECT

public:
    TForm10();

    TDBGrid* DBGrid1;
};

extern TForm10* Form10;
