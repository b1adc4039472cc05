#include "site_list.h"

#include "sample_site.h"

// Each site's source defines its maker; a new site adds one line to each list.
std::unique_ptr<SampleSite> makeMovieCoversSite();

std::vector<std::unique_ptr<SampleSite>> makeSampleSites()
{
    std::vector<std::unique_ptr<SampleSite>> sites;
    sites.push_back(makeMovieCoversSite());
    return sites;
}
