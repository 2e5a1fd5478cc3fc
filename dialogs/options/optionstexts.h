#pragma once

#include <QString>
#include <QStringList>

// Every text the options dialog shows, as the learner knows it. Captions keep
// their spacing: a box sits in the gap of the timing labels.
namespace options::texts {

inline const QString title = QStringLiteral("Options...");
inline const QString playContentTab = QStringLiteral("Play Content");
inline const QString settingsTab = QStringLiteral("Settings...");

inline const QString entireTopic = QStringLiteral("Entire");
// Cut at every "-": the k-th piece names topic k.
inline const QString topicNames = QStringLiteral(
    "Agreement-Apologies-Compliments, Praise-Disapproval, Dissatisfaction-Instructions, "
    "advice-Introducing people-Invitations-Irritation, Anger-Meeting people-Offers-Permission "
    "and request-Receiving visitors-Success, Failure-Thanks-Worry, Trouble-New Dialogs Book");
inline const QString wordBookButton = QStringLiteral("New Dialogs Manager");
inline const QString okButton = QStringLiteral("O K");

inline const QString changeCharacter = QStringLiteral("Change Character");
inline const QString speechSpeed = QStringLiteral("MS Agent Speech Speed");
inline const QString speechSpeedRange = QStringLiteral("( 40 - 200 )");
inline const QString textColour = QStringLiteral("Font Color:");
inline const QString backColour = QStringLiteral("BackColor:");
inline const QString fontSize = QStringLiteral("Size:");
inline const QString defaultButton = QStringLiteral("Default");
inline const QString russianFirst = QStringLiteral("First Russian, then English");
inline const QString englishFirst = QStringLiteral("First English, then Russian");
inline const QString randomOrder = QStringLiteral("at random");
inline const QString sequenceOrder = QStringLiteral("Sequence");
inline const QString systemGroup = QStringLiteral("System settings");
inline const QString autoHide = QStringLiteral("Automatism hide me");
inline const QString savePosition = QStringLiteral("Save schedule when exit");
inline const QString autoStart = QStringLiteral("Run me when Windows starts");
inline const QString saveSettings = QStringLiteral("Save settings when exit");
inline const QString showStressMarks = QStringLiteral("Show stress marks");
inline const QString displayGroup = QStringLiteral("Display");
inline const QString showsPerPair = QStringLiteral("Display              time.");
inline const QString russianSeconds = QStringLiteral("Russian            second.");
inline const QString englishSeconds = QStringLiteral("English            second.");

inline const QString characterSuffix = QStringLiteral(".acs");
inline const QString selectCharacter = QStringLiteral("Please select an Agent");
// Shown over the character list when neither folder holds a character.
inline const QString noCharacters = QStringLiteral("No character files found");

// The topic names in order, topic 1 first.
inline QStringList topicList()
{
    return topicNames.split(QLatin1Char('-'));
}

} // namespace options::texts
