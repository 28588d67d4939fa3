// The About command and the entries that open the product's web pages.
#include "app/TForm1.h"

#include "about/TForm3.h"
#include "about/WebLinks.h"

namespace brixel {

void TForm1::About1Click() {
    // A new window each time, owned by the main window and released with it.
    auto* about = new TForm3(this);
    about->SetAppInfo(appTitle, bmpAppIcon);
    about->show();
}

void TForm1::btnWebsiteClick() {
    OpenWebPage(WebsiteUrl());
}

void TForm1::btnHelpClick() {
    OpenWebPage(HelpUrl());
}

void TForm1::CheckforUpdates1Click() {
    // Only opens the product page: the program compares no version itself.
    OpenWebPage(ProductUrl());
}

} // namespace brixel
