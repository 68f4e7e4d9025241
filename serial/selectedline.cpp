#include "selectedline.h"

#include "lines.h"

SelectedLine::SelectedLine(QObject *parent)
    : Line(parent)
{
}

SelectedLine::~SelectedLine()
{
    // Closing here must not reach the signals' receivers, which may be gone already.
    disconnect(this, nullptr, nullptr, nullptr);
}

void SelectedLine::setPort(const PortChoice &port)
{
    if (isOpen() || isOpening())
        return;
    m_port = port;
}

QString SelectedLine::portName() const
{
    return m_port.name;
}

QString SelectedLine::networkAddress() const
{
    return m_line ? m_line->networkAddress() : QString();
}

bool SelectedLine::open(PortError *error)
{
    if (isOpen() || isOpening())
        return true;
    std::unique_ptr<Line> line = makeLine(m_port, error);
    if (!line)
        return false;
    adopt(line.release());
    return m_line->open(error);
}

// The line made for this open() takes the place of the last one, which is closed. (That
// one goes later: open() may be called from one of its signals.)
void SelectedLine::adopt(Line *line)
{
    if (m_line) {
        m_line->disconnect(this);
        m_line->deleteLater();
    }
    m_line = line;
    line->setParent(this);
    if (m_openTimeoutMs >= 0)
        line->setOpenTimeout(m_openTimeoutMs);
    line->setPromptInput(m_promptInput);
    line->setPacingBytesPerSecond(m_pacingRate);
    connect(line, &Line::onComm, this, &Line::onComm);
    connect(line, &Line::opened, this, &Line::opened);
    connect(line, &Line::aboutToClose, this, &Line::aboutToClose);
    connect(line, &Line::closed, this, &Line::closed);
    connect(line, &Line::openFailed, this, &Line::openFailed);
    connect(line, &Line::failed, this, &Line::failed);
    connect(line, &Line::outputReady, this, &Line::outputReady);
}

void SelectedLine::close()
{
    if (m_line)
        m_line->close();
}

bool SelectedLine::isOpen() const
{
    return m_line && m_line->isOpen();
}

bool SelectedLine::isOpening() const
{
    return m_line && m_line->isOpening();
}

void SelectedLine::setOpenTimeout(int milliseconds)
{
    m_openTimeoutMs = milliseconds;
    if (m_line)
        m_line->setOpenTimeout(milliseconds);
}

qint64 SelectedLine::inBufferCount() const
{
    return m_line ? m_line->inBufferCount() : 0;
}

void SelectedLine::discardInput()
{
    if (m_line)
        m_line->discardInput();
}

QByteArray SelectedLine::input()
{
    return m_line ? m_line->input() : QByteArray();
}

void SelectedLine::setPromptInput(bool prompt)
{
    m_promptInput = prompt;
    if (m_line)
        m_line->setPromptInput(prompt);
}

void SelectedLine::output(const QByteArray &bytes)
{
    if (m_line)
        m_line->output(bytes);
}

qint64 SelectedLine::outputRoom()
{
    return m_line ? m_line->outputRoom() : 0;
}

qint64 SelectedLine::queuedAhead()
{
    return m_line ? m_line->queuedAhead() : 0;
}

void SelectedLine::requestOutputReady()
{
    if (m_line)
        m_line->requestOutputReady();
}

OutputDiscard SelectedLine::discardOutput()
{
    return m_line ? m_line->discardOutput() : OutputDiscard{};
}

void SelectedLine::setPacingBytesPerSecond(qint64 bytesPerSecond)
{
    m_pacingRate = bytesPerSecond;
    if (m_line)
        m_line->setPacingBytesPerSecond(bytesPerSecond);
}
