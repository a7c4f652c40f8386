#pragma once

// Every value the programs keep in the per-user settings, in one list, so that
// a name is written once and a stored file can be read against one place.
// The names are those the settings files already hold: changing one loses
// what users have stored under it.
namespace SettingKeys {

// Where one value lies: the application key names the settings file, the
// section a group in it, the value name one line of that group.
struct Key
{
    const char* application;
    const char* section;
    const char* valueName;
};

// The gallery's own file.
inline constexpr const char* Gallery = "Quillbook1";
// The file the mail program's installer writes; the gallery only reads it.
inline constexpr const char* Rookpost = "RookpostInt2";
inline constexpr const char* Main = "Main";

// Where the splitter between the panes stands, in pixels.
inline constexpr Key Split{Gallery, Main, "Split"};
// The category and template previewed last, shown again at the next start;
// the category is empty for the favourites.
inline constexpr Key LastCategory{Gallery, Main, "LastCategory"};
inline constexpr Key LastTemplate{Gallery, Main, "LastTemplate"};
// The templates previewed last, newest first.
inline constexpr Key Recent{Gallery, Main, "Recent"};
// The templates the user marked as favourites, in the order they were marked.
inline constexpr Key Favourites{Gallery, Main, "Favourites"};
// The folder the last export was saved in.
inline constexpr Key LastExportFolder{Gallery, Main, "LastExportFolder"};
// The window's place when it was closed.
inline constexpr Key WindowLeft{Gallery, Main, "WindowLeft"};
inline constexpr Key WindowTop{Gallery, Main, "WindowTop"};
inline constexpr Key WindowWidth{Gallery, Main, "WindowWidth"};
inline constexpr Key WindowHeight{Gallery, Main, "WindowHeight"};
inline constexpr Key WindowMaximized{Gallery, Main, "WindowMaximized"};
// The recipients' view the preview shows.
inline constexpr Key ViewWidth{Gallery, Main, "ViewWidth"};
inline constexpr Key ViewColours{Gallery, Main, "ViewColours"};
inline constexpr Key ViewImages{Gallery, Main, "ViewImages"};
inline constexpr Key ViewContent{Gallery, Main, "ViewContent"};
// Whether the preview and the exports put the user's brand on the template
// ("1") or show it as shipped, and which brand (its file's stem).
inline constexpr Key BrandOn{Gallery, Main, "BrandOn"};
inline constexpr Key Brand{Gallery, Main, "Brand"};
// Test sends: the SMTP accounts (a JSON list, never a password), the
// recipients typed last and the account used last.
inline constexpr const char* SendTest = "SendTest";
inline constexpr Key SmtpAccounts{Gallery, SendTest, "Accounts"};
inline constexpr Key TestRecipients{Gallery, SendTest, "Recipients"};
inline constexpr Key TestAccount{Gallery, SendTest, "Account"};
// The folder the mail program is installed in.
inline constexpr Key RookpostPath{Rookpost, Main, "Path"};

} // namespace SettingKeys
