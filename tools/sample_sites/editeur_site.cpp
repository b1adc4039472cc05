// The maker's site: the update file naming a newer version, the rotating
// banners with their link files, and the download and donation pages.

#include "picture_maker.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <memory>

namespace {

// One letter ahead of the program, so the demo shows the announcement.
constexpr char kPublishedVersion[] = "2006.m";
constexpr int kBanners = 27;

// The program reads the first "200" on: nothing before the version may hold
// one, not even the server's port, so the addresses come after it.
constexpr char kPadFile[] = R"(<?xml version="1.0" encoding="UTF-8" ?>
<XML_DIZ_INFO>
<MASTER_PAD_VERSION_INFO>
<MASTER_PAD_VERSION>3.11</MASTER_PAD_VERSION>
<MASTER_PAD_EDITOR>Hand-written</MASTER_PAD_EDITOR>
<MASTER_PAD_INFO>Portable Application Description</MASTER_PAD_INFO>
</MASTER_PAD_VERSION_INFO>
<Program_Info>
<Program_Name>Pellicam</Program_Name>
<Program_Version>%1</Program_Version>
<Program_Release_Month>11</Program_Release_Month>
<Program_Release_Day>15</Program_Release_Day>
<Program_Release_Year>2006</Program_Release_Year>
<Program_Cost_Dollars>0</Program_Cost_Dollars>
<Program_Type>Freeware</Program_Type>
<Program_Release_Status>Minor Update</Program_Release_Status>
<Program_OS_Support>Win98,WinME,Win2000,WinXP,Linux</Program_OS_Support>
<Program_Language>French,English</Program_Language>
<Program_Category_Class>Graphic Apps::Viewers</Program_Category_Class>
</Program_Info>
<Company_Info>
<Company_Name>Pellicam</Company_Name>
<Company_WebSite_URL>%2/</Company_WebSite_URL>
</Company_Info>
<Program_Descriptions>
<English>
<Keywords>poster, cover, jacket, film, movie, DVD</Keywords>
<Char_Desc_45>Finds film posters and DVD jackets</Char_Desc_45>
<Char_Desc_80>Searches poster and jacket sites for a film and saves the pictures you pick</Char_Desc_80>
</English>
</Program_Descriptions>
<Web_Info>
<Application_URLs>
<Application_Info_URL>%2/</Application_Info_URL>
<Application_Order_URL>%2/don.htm</Application_Order_URL>
</Application_URLs>
<Download_URLs>
<Primary_Download_URL>%2/telecharger.htm</Primary_Download_URL>
</Download_URLs>
</Web_Info>
</XML_DIZ_INFO>
)";

constexpr char kPage[] = R"(<html>
<head><title>Pellicam - %1</title>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1"></head>
<body bgcolor="#FFFFFF">
<p><a href="%2/">Accueil</a> | <a href="%2/telecharger.htm">T&eacute;l&eacute;charger</a> | <a href="%2/don.htm">Faire un don</a></p>
<h1>%1</h1>
%3
</body>
</html>
)";

class EditeurSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-Editeur"), QStringLiteral("/editeur")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression linkFile(QStringLiteral("^/Bandeaux/Bandeau([1-9][0-9]*)-L\\.txt$"));
        static const QRegularExpression pictureName(QStringLiteral("^Bandeau([1-9][0-9]*)$"));
        static const QRegularExpression offer(QStringLiteral("^/offre([1-9][0-9]*)$"));

        if (request.path == u"/pad_file.xml") {
            FixtureServer::Reply pad;
            pad.contentType = "text/xml";
            pad.body = QString::fromLatin1(kPadFile).arg(QLatin1StringView(kPublishedVersion), request.base).toUtf8();
            return pad;
        }
        if (request.path == u"/Bandeaux/dalinker.php3") {
            const auto match = pictureName.match(request.value(QStringLiteral("file")));
            const int n = match.hasMatch() ? match.captured(1).toInt() : 0;
            return isBanner(n) ? jpeg(PictureMaker::bannerJpeg(n)) : notFound();
        }
        if (const auto match = linkFile.match(request.path); match.hasMatch()) {
            const int n = match.captured(1).toInt();
            if (!isBanner(n))
                return notFound();
            FixtureServer::Reply link;
            link.contentType = "text/plain";
            link.body = (request.base + QStringLiteral("/offre") + QString::number(n)).toLatin1();
            return link;
        }
        if (const auto match = offer.match(request.path); match.hasMatch() && isBanner(match.captured(1).toInt()))
            return page(request, QStringLiteral("Offre ") + match.captured(1),
                        QStringLiteral("<p>Les meilleures affiches de films, s&eacute;lectionn&eacute;es pour vous.</p>"));
        if (request.path == u"/" || request.path == u"/index.htm")
            return page(request, QStringLiteral("Accueil"),
                        QStringLiteral("<p>Pellicam trouve les affiches et les jaquettes de vos films.</p>"));
        if (request.path == u"/telecharger.htm")
            return page(request, QStringLiteral("T&eacute;l&eacute;charger"),
                        QStringLiteral("<p>Pellicam ") + QLatin1StringView(kPublishedVersion)
                            + QStringLiteral(" : <a href=\"pellicam-setup.exe\">pellicam-setup.exe</a></p>"));
        if (request.path == u"/don.htm")
            return page(request, QStringLiteral("Faire un don"),
                        QStringLiteral("<p>Pellicam est gratuit. Un don aide &agrave; le faire vivre.</p>"));
        return notFound();
    }

private:
    static bool isBanner(int n) { return n >= 1 && n <= kBanners; }

    static FixtureServer::Reply page(const Request &request, const QString &title, const QString &body)
    {
        return html(QString::fromLatin1(kPage).arg(title, request.base, body));
    }
};

} // namespace

std::unique_ptr<SampleSite> makeEditeurSite()
{
    return std::make_unique<EditeurSite>();
}
