#pragma once

#include "app/prompter.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <utility>

// Answers the program's modal questions from a script and records every
// message box, so tests can assert on what the user was told.
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        QString text;
        QString title;
    };

    void message(const QString& text, const QString& title = {}) override {
        messages.push_back({text, title});
    }
    bool confirm(const QString& text, const QString& title = {}) override {
        questions.push_back({text, title});
        if (asking_) {
            ++askedOnTopOfAnother;
        }
        if (whileAsking) {
            // The test runs events as the open question's event loop would,
            // until the question is answered or withdrawn.
            asking_ = true;
            withdrawn_ = false;
            const auto run = std::exchange(whileAsking, {});
            run(withdrawn_);
            asking_ = false;
            if (withdrawn_) {
                return false;
            }
        }
        if (answers.empty()) {
            return true;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    int choose(const QString& text, const QStringList& items, const QString& noneOfThem) override {
        choices.push_back({text, items, noneOfThem});
        if (picks.empty()) {
            return -1;
        }
        const int pick = picks.front();
        picks.pop_front();
        return pick;
    }
    void withdrawQuestion() override {
        if (asking_) {
            withdrawn_ = true;
            asking_ = false;
            ++withdrawals;
        }
    }
    void chosenFileRefused() override { ++refusedChoices; }
    QString chooseFile(const FileRequest& request) override {
        fileRequests.push_back(request);
        if (files.empty()) {
            return {};
        }
        QString file = files.front();
        files.pop_front();
        return file;
    }

    QStringList messageTexts() const {
        QStringList texts;
        for (const Shown& shown : messages) {
            texts << shown.text;
        }
        return texts;
    }

    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<FileRequest> fileRequests;
    struct Choice {
        QString text;
        QStringList items;
        QString noneOfThem;
    };
    std::vector<Choice> choices;
    std::deque<int> picks;      // indexes picked, in order; none (-1) when empty
    std::deque<bool> answers;   // Yes/No answers, in order; Yes when empty
    std::deque<QString> files;  // chosen files, in order; cancel when empty
    // Runs while the next question is open; its argument turns true once the
    // program withdraws the question.
    std::function<void(const bool& withdrawn)> whileAsking;
    int withdrawals = 0;
    int refusedChoices = 0;       // files chosen, then refused
    int askedOnTopOfAnother = 0;  // questions asked while another was open

private:
    bool asking_ = false;
    bool withdrawn_ = false;
};
