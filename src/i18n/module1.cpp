#include "module1.h"

namespace Module1 {
qint16 LanguageId = 0;
}
