// A scripted platform for the core tests: answers dialogs from queues and
// records every call as one line of text; waits take no time.
#pragma once

#include <cstdio>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/Settings.h"

namespace vortel::test {

class FakePlatform : public Platform {
public:
    FakePlatform() : m_settings(std::string()) {}

    void showProgressBox(const std::string& text, Rgb colour) override {
        char c[32];
        std::snprintf(c, sizeof c, "%02x%02x%02x", colour.r, colour.g, colour.b);
        calls.push_back("progress " + std::string(c) + " " + text);
        progressTexts.push_back(text);
    }
    void closeProgressBox() override { calls.push_back("close"); }
    MsgAnswer messageBox(const std::string& caption, const std::string& text, MsgButtons, MsgIcon) override {
        calls.push_back("box [" + caption + "] " + text);
        messages.push_back("[" + caption + "] " + text);
        if (!answers.empty()) {
            MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return MsgAnswer::Ok;
    }
    std::optional<std::string> openFileDialog(const FileDialogRequest& req) override {
        lastOpen = req;
        calls.push_back("open-dialog");
        return pop(openAnswers);
    }
    std::optional<std::string> saveFileDialog(const FileDialogRequest& req) override {
        lastSave = req;
        calls.push_back("save-dialog");
        return pop(saveAnswers);
    }
    std::optional<SaveOptionsAnswer> saveOptionsDialog(const SaveOptionsRequest& req) override {
        lastSaveOptions = req;
        calls.push_back("save-options " + req.messageText);
        if (saveOptionAnswers.empty()) return std::nullopt;
        auto a = saveOptionAnswers.front();
        saveOptionAnswers.pop_front();
        return a;
    }
    void setStatusProgress(int position) override { progressPositions.push_back(position); }
    void setWaitCursor(bool on) override { calls.push_back(on ? "wait-cursor on" : "wait-cursor off"); }
    void waitMs(int ms) override { calls.push_back("wait " + std::to_string(ms)); }
    void setMainWindowTitle(const std::string& t) override { title = t; }
    Settings& settings() override { return m_settings; }
    std::string homeFolder() const override { return home; }
    bool deleteFile(const std::string& path) override {
        calls.push_back("delete " + path);
        return !deleteFails && std::remove(path.c_str()) == 0;
    }

    std::deque<std::optional<std::string>> openAnswers, saveAnswers;
    std::deque<std::optional<SaveOptionsAnswer>> saveOptionAnswers;
    std::deque<MsgAnswer> answers;
    std::vector<std::string> calls, messages, progressTexts;
    std::vector<int> progressPositions;
    FileDialogRequest lastOpen, lastSave;
    SaveOptionsRequest lastSaveOptions;
    std::string title, home = "/tmp/";
    bool deleteFails = false;

private:
    template <class T>
    static std::optional<T> pop(std::deque<std::optional<T>>& q) {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
    Settings m_settings;
};

}  // namespace vortel::test
