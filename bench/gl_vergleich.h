#pragma once
// What the graphics benchmarks' direct-OpenGL comparison runs share: a program from two
// source texts and an indexed mesh with positions at attribute 0. Needs a current context.
#include <epoxy/gl.h>

#include <cstddef>

namespace Bench {

// A linked program with its two shader objects; all three deleted together.
struct TGlProgramm {
  GLuint mProgramm = 0, mVertex = 0, mFragment = 0;

  TGlProgramm(const char* vertexText, const char* fragmentText)
      : mProgramm(glCreateProgram()),
        mVertex(Stufe(GL_VERTEX_SHADER, vertexText)),
        mFragment(Stufe(GL_FRAGMENT_SHADER, fragmentText)) {
    glAttachShader(mProgramm, mVertex);
    glAttachShader(mProgramm, mFragment);
    glLinkProgram(mProgramm);
  }
  ~TGlProgramm() {
    glDeleteProgram(mProgramm);
    glDeleteShader(mVertex);
    glDeleteShader(mFragment);
  }
  TGlProgramm(const TGlProgramm&) = delete;
  TGlProgramm& operator=(const TGlProgramm&) = delete;

  // A failed compile shows in the figures (nothing drawn), so it is not checked here.
  static GLuint Stufe(GLenum art, const char* text) {
    GLuint s = glCreateShader(art);
    glShaderSource(s, 1, &text, nullptr);
    glCompileShader(s);
    return s;
  }
};

// A vertex array with a static vertex buffer (three floats per vertex at attribute 0) and a
// static index buffer; left bound. All deleted together.
struct TGlNetz {
  GLuint mVao = 0, mPuffer[2] = {};

  TGlNetz(const void* ecken, size_t eckenBytes, const void* indizes, size_t indexBytes) {
    glGenVertexArrays(1, &mVao);
    glBindVertexArray(mVao);
    glGenBuffers(2, mPuffer);
    glBindBuffer(GL_ARRAY_BUFFER, mPuffer[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(eckenBytes), ecken, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 12, nullptr);
    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mPuffer[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexBytes), indizes,
                 GL_STATIC_DRAW);
  }
  ~TGlNetz() {
    glDeleteBuffers(2, mPuffer);
    glDeleteVertexArrays(1, &mVao);
  }
  TGlNetz(const TGlNetz&) = delete;
  TGlNetz& operator=(const TGlNetz&) = delete;
};

}  // namespace Bench
