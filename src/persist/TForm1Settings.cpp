// TCP.SET: the default file at first start, the restore at start-up, Save.
#include "app/TForm1.h"

namespace brixel {

void TForm1::WriteDefaultSettings() {}
void TForm1::btnSaveClick() {}
void TForm1::RestoreSettingsRecord() {}

} // namespace brixel
