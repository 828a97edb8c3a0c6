// Sharp scaling in one pass on SDL's OpenGL renderer. Enlarging the picture
// by a whole factor with plain sampling and then filtering it to the final
// size gives the same result as one filtered draw whose sampling position is
// pulled to the centre of each picture pixel except near its edges: a
// fragment shader does that, so a software OpenGL does not pay for drawing
// the enlarged picture (on Mesa's llvmpipe that pass alone made a full-screen
// frame cost 40% more processor time).
//
// The shader is drawn with plain OpenGL between SDL's own drawing: SDL's
// queue is flushed first, the texture is bound through SDL, and every piece
// of state touched is put back as it was.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstring>

#include "runtime/video.h"

namespace {

// The OpenGL entry points used, looked up at run time (the game does not
// link against libGL; SDL loads it).
struct GlFunctions {
  PFNGLCREATESHADERPROC createShader;
  PFNGLSHADERSOURCEPROC shaderSource;
  PFNGLCOMPILESHADERPROC compileShader;
  PFNGLGETSHADERIVPROC getShaderiv;
  PFNGLDELETESHADERPROC deleteShader;
  PFNGLCREATEPROGRAMPROC createProgram;
  PFNGLATTACHSHADERPROC attachShader;
  PFNGLLINKPROGRAMPROC linkProgram;
  PFNGLGETPROGRAMIVPROC getProgramiv;
  PFNGLUSEPROGRAMPROC useProgram;
  PFNGLGETUNIFORMLOCATIONPROC getUniformLocation;
  PFNGLUNIFORM1IPROC uniform1i;
  PFNGLUNIFORM2FPROC uniform2f;
  void(APIENTRY* getIntegerv)(GLenum, GLint*);
  void(APIENTRY* pushAttrib)(GLbitfield);
  void(APIENTRY* popAttrib)();
  void(APIENTRY* matrixMode)(GLenum);
  void(APIENTRY* pushMatrix)();
  void(APIENTRY* popMatrix)();
  void(APIENTRY* loadIdentity)();
  void(APIENTRY* ortho)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
  void(APIENTRY* viewport)(GLint, GLint, GLsizei, GLsizei);
  void(APIENTRY* disable)(GLenum);
  void(APIENTRY* color4f)(GLfloat, GLfloat, GLfloat, GLfloat);
  void(APIENTRY* begin)(GLenum);
  void(APIENTRY* end)();
  void(APIENTRY* texCoord2f)(GLfloat, GLfloat);
  void(APIENTRY* vertex2f)(GLfloat, GLfloat);
};

// For each screen pixel: where it falls in the picture, in picture pixels
// (the quad's texture coordinates are given in them); within a pixel,
// sampling stays at its centre except for the outer 1/(2n) on each side,
// where it moves linearly to the centre of the neighbour, as filtering a
// picture enlarged n times with plain sampling would.
constexpr const char* kSharpShader = R"(#version 110
uniform sampler2D picture;
uniform vec2 onePixel;  // one picture pixel in texture coordinates
uniform vec2 flatHalf;  // 0.5 - 0.5 / n
uniform vec2 factor;    // n
void main() {
  vec2 at = gl_TexCoord[0].xy;
  vec2 pixel = floor(at);
  vec2 fromCentre = at - pixel - 0.5;
  vec2 edge = (fromCentre - clamp(fromCentre, -flatHalf, flatHalf)) * factor;
  gl_FragColor = texture2D(picture, (pixel + 0.5 + edge) * onePixel);
}
)";

struct SharpScaler {
  SDL_Renderer* renderer = nullptr;  // the renderer it was made for
  bool usable = false;
  GlFunctions gl{};
  GLuint program = 0;
  GLint pictureAt = -1, onePixelAt = -1, flatHalfAt = -1, factorAt = -1;
} g_sharp;

template <typename F>
bool Load(F* slot, const char* name) {
  *slot = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
  return *slot != nullptr;
}

bool LoadFunctions(GlFunctions* gl) {
  return Load(&gl->createShader, "glCreateShader") && Load(&gl->shaderSource, "glShaderSource") &&
         Load(&gl->compileShader, "glCompileShader") && Load(&gl->getShaderiv, "glGetShaderiv") &&
         Load(&gl->deleteShader, "glDeleteShader") && Load(&gl->createProgram, "glCreateProgram") &&
         Load(&gl->attachShader, "glAttachShader") && Load(&gl->linkProgram, "glLinkProgram") &&
         Load(&gl->getProgramiv, "glGetProgramiv") && Load(&gl->useProgram, "glUseProgram") &&
         Load(&gl->getUniformLocation, "glGetUniformLocation") &&
         Load(&gl->uniform1i, "glUniform1i") && Load(&gl->uniform2f, "glUniform2f") &&
         Load(&gl->getIntegerv, "glGetIntegerv") && Load(&gl->pushAttrib, "glPushAttrib") &&
         Load(&gl->popAttrib, "glPopAttrib") && Load(&gl->matrixMode, "glMatrixMode") &&
         Load(&gl->pushMatrix, "glPushMatrix") && Load(&gl->popMatrix, "glPopMatrix") &&
         Load(&gl->loadIdentity, "glLoadIdentity") && Load(&gl->ortho, "glOrtho") &&
         Load(&gl->viewport, "glViewport") && Load(&gl->disable, "glDisable") &&
         Load(&gl->color4f, "glColor4f") && Load(&gl->begin, "glBegin") && Load(&gl->end, "glEnd") &&
         Load(&gl->texCoord2f, "glTexCoord2f") && Load(&gl->vertex2f, "glVertex2f");
}

// Looks up the functions and builds the shader for this renderer, once.
bool Prepare(SDL_Renderer* renderer) {
  if (g_sharp.renderer == renderer) return g_sharp.usable;
  g_sharp = SharpScaler{};
  g_sharp.renderer = renderer;
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strcmp(info.name, "opengl") != 0) return false;
  if (SDL_GL_GetCurrentContext() == nullptr) return false;
  GlFunctions& gl = g_sharp.gl;
  if (!LoadFunctions(&gl)) return false;
  GLuint shader = gl.createShader(GL_FRAGMENT_SHADER);
  if (!shader) return false;
  gl.shaderSource(shader, 1, &kSharpShader, nullptr);
  gl.compileShader(shader);
  GLint compiled = 0;
  gl.getShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  GLuint program = compiled ? gl.createProgram() : 0;
  GLint linked = 0;
  if (program) {
    gl.attachShader(program, shader);
    gl.linkProgram(program);
    gl.getProgramiv(program, GL_LINK_STATUS, &linked);
  }
  gl.deleteShader(shader);  // kept alive by the program while attached
  if (!linked) return false;
  g_sharp.program = program;
  g_sharp.pictureAt = gl.getUniformLocation(program, "picture");
  g_sharp.onePixelAt = gl.getUniformLocation(program, "onePixel");
  g_sharp.flatHalfAt = gl.getUniformLocation(program, "flatHalf");
  g_sharp.factorAt = gl.getUniformLocation(program, "factor");
  g_sharp.usable = true;
  return true;
}

}  // namespace

namespace rt {

bool DrawSharpScaled(SDL_Renderer* renderer, SDL_Texture* picture, int pictureWidth,
                     int pictureHeight, int factor, const SDL_Rect& dst) {
  if (!Prepare(renderer)) return false;
  int outWidth = 0, outHeight = 0;
  if (SDL_GetRendererOutputSize(renderer, &outWidth, &outHeight) != 0) return false;
  // Everything SDL queued (the black bars) goes first.
  SDL_RenderFlush(renderer);
  SDL_SetTextureScaleMode(picture, SDL_ScaleModeLinear);
  float texW = 0, texH = 0;
  if (SDL_GL_BindTexture(picture, &texW, &texH) != 0) return false;
  if (texW != 1.0f || texH != 1.0f) {
    // A rectangle or padded texture: its coordinates are not the shader's.
    SDL_GL_UnbindTexture(picture);
    return false;
  }
  const GlFunctions& gl = g_sharp.gl;
  GLint previousProgram = 0, activeUnit = GL_TEXTURE0;
  gl.getIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
  gl.getIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
  gl.pushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT |
                GL_SCISSOR_BIT);
  gl.matrixMode(GL_PROJECTION);
  gl.pushMatrix();
  gl.loadIdentity();
  gl.ortho(0, outWidth, outHeight, 0, -1, 1);  // window pixels, y down
  gl.matrixMode(GL_MODELVIEW);
  gl.pushMatrix();
  gl.loadIdentity();
  gl.viewport(0, 0, outWidth, outHeight);
  gl.disable(GL_BLEND);
  gl.disable(GL_SCISSOR_TEST);

  gl.useProgram(g_sharp.program);
  gl.uniform1i(g_sharp.pictureAt, activeUnit - GL_TEXTURE0);
  const float w = float(pictureWidth), h = float(pictureHeight), n = float(factor);
  gl.uniform2f(g_sharp.onePixelAt, 1.0f / w, 1.0f / h);
  gl.uniform2f(g_sharp.flatHalfAt, 0.5f - 0.5f / n, 0.5f - 0.5f / n);
  gl.uniform2f(g_sharp.factorAt, n, n);
  gl.color4f(1, 1, 1, 1);
  const float x0 = float(dst.x), y0 = float(dst.y);
  const float x1 = float(dst.x + dst.w), y1 = float(dst.y + dst.h);
  gl.begin(GL_QUADS);
  gl.texCoord2f(0, 0);
  gl.vertex2f(x0, y0);
  gl.texCoord2f(w, 0);
  gl.vertex2f(x1, y0);
  gl.texCoord2f(w, h);
  gl.vertex2f(x1, y1);
  gl.texCoord2f(0, h);
  gl.vertex2f(x0, y1);
  gl.end();

  gl.useProgram(GLuint(previousProgram));
  gl.matrixMode(GL_PROJECTION);
  gl.popMatrix();
  gl.matrixMode(GL_MODELVIEW);
  gl.popMatrix();
  gl.popAttrib();
  SDL_GL_UnbindTexture(picture);
  return true;
}

void ForgetSharpScaler() { g_sharp = SharpScaler{}; }

}  // namespace rt
