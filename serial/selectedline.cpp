#include "selectedline.h"

#include "lines.h"

SelectedLine::SelectedLine(const LineOptions &options, QObject *parent)
    : Line(parent)
    , m_options(options)
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
    std::unique_ptr<Line> line = makeLine(m_port, error, m_options);
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
    line->setPromptInput(m_promptInput);
    connect(line, &Line::received, this, &Line::received);
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

Line::State SelectedLine::state() const
{
    return m_line ? m_line->state() : State::Closed;
}

void SelectedLine::discardInput()
{
    if (m_line)
        m_line->discardInput();
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
