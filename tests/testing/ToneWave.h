#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cmath>

namespace kvx::test {

// A short 440 Hz tone as a 16-bit mono wave file: a real recording to play.
inline QByteArray toneWave(int milliseconds)
{
    constexpr int rate = 22050;
    const int samples = rate * milliseconds / 1000;
    QByteArray pcm(samples * 2, '\0');
    for (int i = 0; i < samples; ++i) {
        const auto v = static_cast<qint16>(8000 * std::sin(2 * M_PI * 440 * i / rate));
        qToLittleEndian(v, pcm.data() + 2 * i);
    }
    QByteArray wave("RIFF....WAVEfmt ");
    const auto put = [&wave](quint32 v, int bytes) {
        char b[4];
        qToLittleEndian(v, b);
        wave.append(b, bytes);
    };
    put(16, 4);       // format chunk size
    put(1, 2);        // PCM
    put(1, 2);        // mono
    put(rate, 4);     // samples per second
    put(rate * 2, 4); // bytes per second
    put(2, 2);        // bytes per sample
    put(16, 2);       // bits per sample
    wave += "data";
    put(static_cast<quint32>(pcm.size()), 4);
    wave += pcm;
    qToLittleEndian(static_cast<quint32>(wave.size() - 8), wave.data() + 4);
    return wave;
}

} // namespace kvx::test
