#include "site_list.h"

#include "sample_site.h"

// Each site's source defines its maker; a new site adds one line to each list.
std::unique_ptr<SampleSite> makeMovieCoversSite();
std::unique_ptr<SampleSite> makeCineMoviesSite();
std::unique_ptr<SampleSite> makeCinEmotionsSite();
std::unique_ptr<SampleSite> makeAlloCineSite();
std::unique_ptr<SampleSite> makeCinefilSite();
std::unique_ptr<SampleSite> makeHDCoversSite();
std::unique_ptr<SampleSite> makeDvdFrSite();
std::unique_ptr<SampleSite> makeMoviePosterSite();
std::unique_ptr<SampleSite> makeIMPAwardsSite();
std::unique_ptr<SampleSite> makeVintageSite();
std::unique_ptr<SampleSite> makeAffichesCinemaSite();
std::unique_ptr<SampleSite> makeAllDivXSite();
std::unique_ptr<SampleSite> makeCoverComozSite();
std::unique_ptr<SampleSite> makeEditeurSite();
std::unique_ptr<SampleSite> makeAfficheraieSite();
std::unique_ptr<SampleSite> makeFrameshelfSite();

std::vector<std::unique_ptr<SampleSite>> makeSampleSites()
{
    std::vector<std::unique_ptr<SampleSite>> sites;
    sites.push_back(makeMovieCoversSite());
    sites.push_back(makeCineMoviesSite());
    sites.push_back(makeCinEmotionsSite());
    sites.push_back(makeAlloCineSite());
    sites.push_back(makeCinefilSite());
    sites.push_back(makeHDCoversSite());
    sites.push_back(makeDvdFrSite());
    sites.push_back(makeMoviePosterSite());
    sites.push_back(makeIMPAwardsSite());
    sites.push_back(makeVintageSite());
    sites.push_back(makeAffichesCinemaSite());
    sites.push_back(makeAllDivXSite());
    sites.push_back(makeCoverComozSite());
    sites.push_back(makeEditeurSite());
    sites.push_back(makeAfficheraieSite());
    sites.push_back(makeFrameshelfSite());
    return sites;
}
