#include "app/globals.h"

QString CurrentLogin;
quint8 MaterialKind = 0;
QString SelectedTopic;
QString TestTopic;
