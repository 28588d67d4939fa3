// The serial endpoint's handlers: Com-Port On/Off, the setup dialog, the port's
// open and close events.
#include "app/TForm1.h"

namespace brixel {

void TForm1::btnComPortOnClick() {}
void TForm1::btnComPortOffClick() {}
void TForm1::btnSetupClick() {}
void TForm1::ComPort1AfterOpen() {}
void TForm1::ComPort1BeforeClose() {}
void TForm1::LoadComPortSettings() {}

} // namespace brixel
