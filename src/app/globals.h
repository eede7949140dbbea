#pragma once

#include <QString>

// Program-wide values shared by the windows.

// The login typed at the last student sign-in or registration.
extern QString CurrentLogin;
// Which list the student window's tree or the teacher window's grid shows:
// 1 theory topics, 2 practical lessons, 3 supplementary material, 4 presentations,
// 5 videos; 0 before the first choice.
extern quint8 MaterialKind;
// The caption of the last clicked title in the student window's tree.
extern QString SelectedTopic;
// The kind of the running test.
extern QString TestTopic;
