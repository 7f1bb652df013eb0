// iitcalc-prerender: the main window as the page holds it before the program
// runs -- opened (Load and Activate run) on a backend that only writes
// markup. Prints the window's HTML on the first line, the CSS of its state
// (forms/web/markup.h) on the second, then its CSS.
// Run at build time under Node; make_site.cmake writes both into index.html.
#include "forms/form.h"
#include "forms/web/markup_backend.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <cstdio>
#include <memory>

int main()
{
    using namespace iitcalc;
    auto backend = std::make_unique<forms::web::MarkupBackend>();
    const forms::web::MarkupBackend &markup = *backend;
    forms::Form form(window::mainFormLayout(), window::mainFormBindings(), std::move(backend));
    form.show();
    std::printf("%s\n%s\n%s", markup.markup().html().c_str(), markup.markup().stateCss().c_str(),
                markup.markup().css().c_str());
    return 0;
}
