#pragma once
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class TfClock;
class TRotateImage;

// The clock's own face, built offscreen from the supplied tables: a copy of a
// program folder's tables with every skin package of its skins/ folder
// installed, and a clock window on them that is never shown. Each build goes
// through the window's face assembly, so what comes out is what the clock
// shows.
class FaceRig
{
public:
    // programFolder: a built program folder (tables and skins/ packages).
    explicit FaceRig(const QString &programFolder);
    ~FaceRig();

    // Item names of a skin table ("Clock", "Dial", "Hand", "Head", "Body").
    QStringList names(const QString &table) const;

    struct Choice
    {
        QString clock, dial, hand, head, body;
    };
    // Assembles the face of these items at sizeScale sixteenths.
    void build(const Choice &choice, int sizeScale);

    enum class Hand { Hour, Minute, Second };
    // The hands as the clock sets them for this time of day.
    void setTime(int hour, int minute, int second);
    // One hand turned counter-clockwise by angle degrees, the others hidden.
    void showOnly(Hand hand, int angle);
    void showAll();

    // The window as drawn, see-through outside its outline.
    QImage render() const;
    // The dial's place in the window.
    QRect dialRect() const;
    // A hand's turned picture as drawn and where it lies in the window.
    QImage handPicture(Hand hand) const;
    QPoint handPosition(Hand hand) const;

    TfClock &clock() { return *m_clock; }

private:
    TRotateImage *control(Hand hand) const;

    QTemporaryDir m_folder;
    std::unique_ptr<TfClock> m_clock;
};
