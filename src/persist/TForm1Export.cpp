// Export of both logs to a text file, and the logs to the clipboard.
#include "app/TForm1.h"

namespace brixel {

void TForm1::Export1Click() {}
void TForm1::CopyTCPRXText1Click() {}
void TForm1::mnCopyComClipboardClick() {}

} // namespace brixel
