#pragma once
// A program and its arguments as the argv a spawned program receives: the
// program name in the file-name encoding, the arguments in the local 8-bit
// encoding, ended by a null pointer, alive as long as this object.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <vector>

class ArgumentVector
{
public:
    ArgumentVector(const QString &program, const QStringList &arguments)
    {
        m_storage.reserve(std::size_t(arguments.size()) + 1);
        m_storage.push_back(QFile::encodeName(program));
        for (const QString &argument : arguments)
            m_storage.push_back(argument.toLocal8Bit());
        for (QByteArray &item : m_storage)
            m_pointers.push_back(item.data());
        m_pointers.push_back(nullptr);
    }
    ArgumentVector(const ArgumentVector &) = delete;
    ArgumentVector &operator=(const ArgumentVector &) = delete;

    char *program() { return m_pointers.front(); }
    char **data() { return m_pointers.data(); }

private:
    std::vector<QByteArray> m_storage;
    std::vector<char *> m_pointers;
};
