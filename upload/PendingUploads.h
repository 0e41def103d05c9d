#pragma once

#include <QString>
#include <QStringList>

// The clips whose uploads have begun and not ended, kept in
// "pending-uploads.json" in the application folder (0600, never a password),
// so that an upload a close or a kill cut short is sent at the next start.
// Each change rewrites the file whole; it goes when the list is empty.
inline const QString kPendingUploadsName = QStringLiteral("pending-uploads.json");

// Notes a clip's upload as begun; false when the list could not be written.
bool notePendingUpload(const QString& appFolder, const QString& clipPath);
// The clip's upload has ended, sent or failed.
bool clearPendingUpload(const QString& appFolder, const QString& clipPath);
// The clips whose uploads a close or a kill cut short, oldest first.
QStringList pendingUploads(const QString& appFolder);
