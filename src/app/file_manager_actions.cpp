#include "app/file_manager_actions.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <string_view>

#include "platform/desktop_files.h"
#include "text/translation.h"

namespace kestrel::app {
namespace {

// The script's file name and the action's XML are the file managers' files:
// they read the same in every language.
constexpr std::string_view kScriptName = "Rename with Kestrel";
// How Kestrel's action is told from the user's own in Thunar's list.
constexpr std::string_view kThunarActionId = "kestrel-rename-with-kestrel";

constexpr std::string_view kThunarAction =
    "<action>\n"
    "\t<icon>org.example.kestrel</icon>\n"
    "\t<name>Rename with Kestrel</name>\n"
    "\t<submenu></submenu>\n"
    "\t<unique-id>kestrel-rename-with-kestrel</unique-id>\n"
    "\t<command>kestrel %F</command>\n"
    "\t<description>Rename the selected files and folders with Kestrel</description>\n"
    "\t<range>*</range>\n"
    "\t<patterns>*</patterns>\n"
    "\t<directories/>\n"
    "\t<audio-files/>\n"
    "\t<image-files/>\n"
    "\t<other-files/>\n"
    "\t<text-files/>\n"
    "\t<video-files/>\n"
    "</action>";

struct DocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using Document = std::unique_ptr<xmlDoc, DocumentFree>;

std::string ScriptPath(const ActionFolders& folders) {
    return folders.nautilusScripts + "/" + std::string(kScriptName);
}

std::string ThunarFile(const ActionFolders& folders) {
    return folders.thunarConfig + "/uca.xml";
}

// `pattern` is in the user's language: {1} the path, {2} the error.
std::string Failed(const char* pattern, const std::string& path, const platform::FileError& error) {
    return text::Fill(pattern, {path, platform::DescribeError(error)});
}

bool IsElement(const xmlNode* node, std::string_view name) {
    return node != nullptr && node->type == XML_ELEMENT_NODE &&
           std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

// Kestrel's <action> in Thunar's list: the one with its unique id.
xmlNode* KestrelAction(xmlNode* actions) {
    for (xmlNode* action = actions->children; action != nullptr; action = action->next) {
        if (!IsElement(action, "action")) {
            continue;
        }
        for (xmlNode* field = action->children; field != nullptr; field = field->next) {
            if (IsElement(field, "unique-id")) {
                xmlChar* text = xmlNodeGetContent(field);
                const bool ours =
                    text != nullptr &&
                    std::string_view(reinterpret_cast<const char*>(text)) == kThunarActionId;
                xmlFree(text);
                if (ours) {
                    return action;
                }
            }
        }
    }
    return nullptr;
}

Document ParseXml(const std::string& bytes) {
    // No network, no entities from elsewhere: the file is the user's, but
    // nothing in it is to reach further than itself.
    return Document(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "uca.xml", "UTF-8",
                                  XML_PARSE_NONET));
}

std::string Serialized(xmlDoc* document) {
    xmlChar* buffer = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(document, &buffer, &size, "UTF-8");
    std::string bytes(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
    xmlFree(buffer);
    return bytes;
}

// Adds (`install`) or takes away Kestrel's action in Thunar's list, keeping
// every other action and the file's layout as they are.
std::string EditThunarActions(const ActionFolders& folders, bool install, bool& ok) {
    const std::string path = ThunarFile(folders);
    std::string bytes;
    const platform::FileError read = platform::ReadHostFile(path, bytes);
    if (!read.Ok() && read.number != platform::kFileNotFound &&
        read.number != platform::kPathNotFound) {
        ok = false;
        // TRANSLATORS: Thunar is a file manager. {1} is its file of custom
        // actions, {2} an error with its number ("Error 70 (Permission denied)").
        return Failed(text::Tr("Thunar: could not read {1}: {2}"), path, read);
    }
    if (!read.Ok()) {
        if (!install) {
            return text::Tr("Thunar: no custom actions, nothing to remove.");
        }
        bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n";
    }
    const Document document = ParseXml(bytes);
    xmlNode* actions = document ? xmlDocGetRootElement(document.get()) : nullptr;
    if (!IsElement(actions, "actions")) {
        ok = false;
        return text::Fill(
            // TRANSLATORS: {1} is Thunar's file of custom actions.
            text::Tr("Thunar: {1} is not a list of custom actions; it was left as it is."), {path});
    }
    xmlNode* ours = KestrelAction(actions);
    if ((ours != nullptr) == install) {
        // TRANSLATORS: "Rename with Kestrel" is the action's name in the file
        // manager's menu, which stays English.
        return install ? text::Tr("Thunar: \"Rename with Kestrel\" was there already.")
                       : text::Tr("Thunar: no \"Rename with Kestrel\" action, nothing to remove.");
    }
    if (install) {
        xmlNode* parsed = nullptr;
        if (xmlParseInNodeContext(actions, kThunarAction.data(),
                                  static_cast<int>(kThunarAction.size()), 0,
                                  &parsed) != XML_ERR_OK ||
            parsed == nullptr) {
            ok = false;
            return text::Tr("Thunar: the action could not be made.");
        }
        xmlAddChild(actions, parsed);
        xmlAddChild(actions, xmlNewText(reinterpret_cast<const xmlChar*>("\n")));
    } else {
        // The line break after the action goes with it.
        if (ours->next != nullptr && ours->next->type == XML_TEXT_NODE) {
            xmlNode* after = ours->next;
            xmlUnlinkNode(after);
            xmlFreeNode(after);
        }
        xmlUnlinkNode(ours);
        xmlFreeNode(ours);
    }
    if (const platform::FileError made = platform::MakeHostFolders(folders.thunarConfig);
        !made.Ok()) {
        ok = false;
        // TRANSLATORS: {1} is Thunar's folder of settings, {2} an error with its number.
        return Failed(text::Tr("Thunar: could not make {1}: {2}"), folders.thunarConfig, made);
    }
    if (const platform::FileError written =
            platform::WriteHostFile(path, Serialized(document.get()), 0644);
        !written.Ok()) {
        ok = false;
        // TRANSLATORS: {1} is Thunar's file of custom actions, {2} an error with its number.
        return Failed(text::Tr("Thunar: could not write {1}: {2}"), path, written);
    }
    // TRANSLATORS: {1} is Thunar's file of custom actions.
    return text::Fill(install ? text::Tr("Thunar: \"Rename with Kestrel\" added to {1}.")
                              // TRANSLATORS: {1} is Thunar's file of custom actions.
                              : text::Tr("Thunar: \"Rename with Kestrel\" removed from {1}."),
                      {path});
}

std::string InstallScript(const ActionFolders& folders, bool& ok) {
    const std::string path = ScriptPath(folders);
    std::string bytes;
    if (platform::ReadHostFile(path, bytes).Ok() && bytes == NautilusScript()) {
        // TRANSLATORS: Files is GNOME's file manager (Nautilus); "Rename with
        // Kestrel" is the script's name in its menu, which stays English.
        return text::Tr("Files: the script \"Rename with Kestrel\" was there already.");
    }
    platform::FileError error = platform::MakeHostFolders(folders.nautilusScripts);
    if (error.Ok()) {
        error = platform::WriteHostFile(path, NautilusScript(), 0755);
    }
    if (!error.Ok()) {
        ok = false;
        // TRANSLATORS: {1} is the script's file, {2} an error with its number.
        return Failed(text::Tr("Files: could not write {1}: {2}"), path, error);
    }
    // TRANSLATORS: {1} is the script's file.
    return text::Fill(text::Tr("Files: the script \"Rename with Kestrel\" added as {1}."), {path});
}

std::string RemoveScript(const ActionFolders& folders, bool& ok) {
    const std::string path = ScriptPath(folders);
    std::string bytes;
    if (!platform::ReadHostFile(path, bytes).Ok()) {
        return text::Tr("Files: no script \"Rename with Kestrel\", nothing to remove.");
    }
    // A script of that name that Kestrel did not write is the user's.
    if (bytes != NautilusScript()) {
        // TRANSLATORS: {1} is a script's file.
        return text::Fill(text::Tr("Files: {1} is not Kestrel's script; it was left as it is."),
                          {path});
    }
    if (const platform::FileError error = platform::RemoveHostFile(path); !error.Ok()) {
        ok = false;
        // TRANSLATORS: {1} is the script's file, {2} an error with its number.
        return Failed(text::Tr("Files: could not remove {1}: {2}"), path, error);
    }
    return text::Tr("Files: the script \"Rename with Kestrel\" removed.");
}

}  // namespace

ActionFolders UserActionFolders() {
    const std::string data = platform::UserDataHome();
    const std::string config = platform::UserConfigHome();
    return {data.empty() ? data : data + "/nautilus/scripts",
            config.empty() ? config : config + "/Thunar"};
}

std::string NautilusScript() {
    // Files runs a script in the folder it shows, with the selected entries as
    // its arguments; each becomes a whole path, whatever characters it holds.
    return "#!/bin/sh\n"
           "# Rename with Kestrel: the entries selected in Files, and only those.\n"
           "for entry do\n"
           "    case $entry in\n"
           "        /*) ;;\n"
           "        *) entry=$PWD/$entry ;;\n"
           "    esac\n"
           "    set -- \"$@\" \"$entry\"\n"
           "    shift\n"
           "done\n"
           "exec kestrel \"$@\"\n";
}

ActionsReport InstallFileManagerActions(const ActionFolders& folders) {
    ActionsReport report;
    report.lines.push_back(InstallScript(folders, report.ok));
    report.lines.push_back(EditThunarActions(folders, true, report.ok));
    return report;
}

ActionsReport RemoveFileManagerActions(const ActionFolders& folders) {
    ActionsReport report;
    report.lines.push_back(RemoveScript(folders, report.ok));
    report.lines.push_back(EditThunarActions(folders, false, report.ok));
    return report;
}

}  // namespace kestrel::app
