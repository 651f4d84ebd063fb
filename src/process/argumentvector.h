#pragma once
// What a spawned program receives: its argv (the program name in the
// file-name encoding, the arguments in the local 8-bit encoding) and its
// environment (NAME=VALUE texts), each as the null-terminated array of C
// strings exec takes, alive as long as this object.

#include <QByteArray>
#include <QFile>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <unistd.h>
#include <utility>
#include <vector>

class CStringVector
{
public:
    explicit CStringVector(std::vector<QByteArray> texts) : m_storage(std::move(texts))
    {
        for (QByteArray &item : m_storage)
            m_pointers.push_back(item.data());
        m_pointers.push_back(nullptr);
    }
    CStringVector(const CStringVector &) = delete;
    CStringVector &operator=(const CStringVector &) = delete;

    char **data() { return m_pointers.data(); }

private:
    std::vector<QByteArray> m_storage;
    std::vector<char *> m_pointers;
};

class ArgumentVector : public CStringVector
{
public:
    ArgumentVector(const QString &program, const QStringList &arguments) : CStringVector(texts(program, arguments)) {}
    char *program() { return data()[0]; }

private:
    static std::vector<QByteArray> texts(const QString &program, const QStringList &arguments)
    {
        std::vector<QByteArray> texts{QFile::encodeName(program)};
        for (const QString &argument : arguments)
            texts.push_back(argument.toLocal8Bit());
        return texts;
    }
};

class EnvironmentVector : public CStringVector
{
public:
    explicit EnvironmentVector(const QProcessEnvironment &environment) : CStringVector(texts(environment)) {}
    // This process's own environment, byte for byte, with name=value in
    // place of any value name has.
    EnvironmentVector(const QByteArray &name, const QByteArray &value) : CStringVector(texts(name, value)) {}

private:
    static std::vector<QByteArray> texts(const QByteArray &name, const QByteArray &value)
    {
        const QByteArray prefix = name + '=';
        std::vector<QByteArray> texts;
        for (char **each = environ; *each; ++each) {
            if (!QByteArray(*each).startsWith(prefix))
                texts.emplace_back(*each);
        }
        texts.push_back(prefix + value);
        return texts;
    }
    static std::vector<QByteArray> texts(const QProcessEnvironment &environment)
    {
        std::vector<QByteArray> texts;
        for (const QString &entry : environment.toStringList())
            texts.push_back(entry.toLocal8Bit());
        return texts;
    }
};
