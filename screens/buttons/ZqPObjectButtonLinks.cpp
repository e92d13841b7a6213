#include "screens/buttons/ZqPObjectButtonLinks.h"

#include "app/ZqServices.h"
#include "model/objects/ZqModelObjectButtons.h"

#include <ZqLog.h>

void ZqPObjectButtonUrl::activate()
{
    if (!isEnabled())
        return;
    const auto url = modelKindCast<ZqModelObjectButtonUrl>(model());
    if (url && !url->url().empty())
        ZqServices::shared()->openUrl(url->url());
    else
        debugLog("Button URL is empty");
}

void ZqPObjectButtonFacebook::activate()
{
    if (!isEnabled())
        return;
    const auto page = modelKindCast<ZqModelObjectButtonFacebook>(model());
    if (page && !page->url().empty() && !page->facebookId().empty())
        ZqServices::shared()->openFacebookPage(page->url(), page->facebookId());
    else
        debugLog("Facebook button URL and ID is empty");
}
