// The About command and the entries that open the product's web pages.
#include "app/TForm1.h"

namespace brixel {

void TForm1::About1Click() {}
void TForm1::btnWebsiteClick() {}
void TForm1::btnHelpClick() {}
void TForm1::CheckforUpdates1Click() {}

} // namespace brixel
